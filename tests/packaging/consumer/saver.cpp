// A saver in C++: its own window procedure, ticking every 50 ms until a key ends it.
#include <windows.h>

#include "morvane.h"

namespace {

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: SetWindowTextA(window, "sdk saver cpp"); break;
    case SCRM_TIMER: return 50;
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return ScrMain(instance, SaverProc, nullptr, nullptr, 0);
}

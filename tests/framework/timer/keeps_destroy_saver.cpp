// A saver whose procedure answers WM_DESTROY itself, as many savers do (PostQuitMessage and
// return 0), and passes everything else to DefSaverProc. Its ticks come back to back, and it
// destroys its own window at the fifth; its run must end at once, not spin a timer thread at a
// window that is gone until the end of the run gives up on it.
#include <windows.h>

#include "morvane.h"

namespace {

int ticks;

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case SCRM_TIMER:
      if (++ticks == 5) DestroyWindow(window);
      return 0;
    default: return DefSaverProc(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return ScrMain(instance, SaverProc, nullptr, nullptr, 0);
}

// A saver whose procedure answers WM_DESTROY itself, as many savers do (PostQuitMessage and
// return 0), and passes everything else to DefSaverProc. Its ticks come back to back, and it
// destroys its own window at the fifth; its run must end at once, not spin a timer thread at a
// window that is gone until the end of the run gives up on it. With MORVANE_TEST_QUIT_ITSELF set
// it posts the quit message at the fifth tick instead and leaves its window be: the run must stop
// that window's ticks rather than wait for them.
#include <windows.h>

#include "morvane.h"

namespace {

int ticks;
bool quitItself;

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case SCRM_TIMER:
      if (++ticks != 5) return 0;
      if (quitItself) {
        PostQuitMessage(0);
      } else {
        DestroyWindow(window);
      }
      return 0;
    default: return DefSaverProc(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  quitItself = GetEnvironmentVariableA("MORVANE_TEST_QUIT_ITSELF", nullptr, 0) > 0;
  return ScrMain(instance, SaverProc, nullptr, nullptr, 0);
}

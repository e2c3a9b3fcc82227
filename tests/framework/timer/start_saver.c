/* The least a saver on the framework can be, for the start bench: it logs "winmain" on entry and
   "tick" at its first tick (start_log.h), drawing nothing. Built linked to morvane.dll and linked
   with the static library. */
#include <windows.h>

#include "morvane.h"
#include "start_log.h"

static int ticked;

static LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SCRM_TIMER) {
    if (!ticked) LogStartEvent("tick");
    ticked = 1;
    return 20;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)previous;
  (void)commandLine;
  (void)show;
  LogStartEvent("winmain");
  return ScrMain(instance, SaverProc, NULL, NULL, 0);
}

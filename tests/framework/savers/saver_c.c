/* A saver written in C on ScrMain, linked to morvane.dll through its import library. */
#include "saver_support.h"

static LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) LogCreation(window, (const CREATESTRUCTA*)lParam);
  if (message == SCRM_TIMER) return TickTestSaver(window, NULL);
  LogSaverMessage(window, message, wParam, lParam);
  return DefSaverProc(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  int result;
  (void)previous;
  (void)commandLine;
  (void)show;
  PrepareTestSaver();
  result = ScrMain(instance, SaverProc, NULL, NULL, 0);
  TestLog("run 1 result=%d", result);
  return result;
}

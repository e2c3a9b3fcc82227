// The UNICODE library calls the saver's procedure ScreenSaverProcW, as the toolchain's scrnsave.h
// renames it; headers that keep the name ScreenSaverProc make savers define that one instead. A
// member of its own in the library's archive, so that the linker takes it only for such a saver.
// (scrnsave.h is not included here: under UNICODE it would rename the function called below.)
#include <windows.h>

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

extern "C" LRESULT WINAPI ScreenSaverProcW(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  return ScreenSaverProc(window, message, wParam, lParam);
}

// The UNICODE library calls the saver's dialog procedure ScreenSaverConfigureDialog, as the
// toolchain's scrnsave.h names it; a saver written for a header that renames it defines
// ScreenSaverConfigureDialogW instead. A member of its own in the library's archive, so that the
// linker takes it only for such a saver.
#include <windows.h>

extern "C" BOOL WINAPI ScreenSaverConfigureDialogW(HWND dialog, UINT message, WPARAM wParam,
                                                   LPARAM lParam);

extern "C" BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  return ScreenSaverConfigureDialogW(dialog, message, wParam, lParam);
}

// The SDK screen-saver library's side of scrnsave.h, built twice: as libmorvane_scrnsave (ANSI)
// and, with UNICODE defined, as libmorvane_scrnsavw. The saver supplies ScreenSaverProc,
// ScreenSaverConfigureDialog and RegisterDialogClasses; this file supplies WinMain,
// DefScreenSaverProc and the globals. The toolchain's own scrnsave.h declares them, so that a saver
// and the library agree on every name and type.
#include <windows.h>
#include <scrnsave.h>

#include "scrnsave/scrnsave_run.h"

extern "C" {
HINSTANCE hMainInstance;
HWND hMainWindow;
WINBOOL fChildPreview;
UINT MyHelpMessage;
TCHAR szName[TITLEBARNAMELEN];
TCHAR szAppName[APPNAMEBUFFERLEN];
TCHAR szIniFile[MAXFILELEN];
TCHAR szScreenSaver[22];
TCHAR szHelpFile[MAXFILELEN];
TCHAR szNoHelpMemory[BUFFLEN];
}

namespace {

// The dialog procedure as the system calls it: scrnsave.h declares it returning BOOL.
INT_PTR CALLBACK ConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return ScreenSaverConfigureDialog(dialog, message, wParam, lParam);
}

// A string of the saver's module into a global, left empty when the saver has none.
template <size_t N>
void LoadName(HINSTANCE instance, UINT id, TCHAR (&target)[N]) {
  if (LoadString(instance, id, target, static_cast<int>(N)) <= 0) target[0] = 0;
}

void LoadNames(HINSTANCE instance) {
  LoadName(instance, IDS_DESCRIPTION, szName);
  LoadName(instance, idsAppName, szAppName);
  LoadName(instance, idsIniFile, szIniFile);
  LoadName(instance, idsScreenSaver, szScreenSaver);
  LoadName(instance, idsHelpFile, szHelpFile);
  LoadName(instance, idsNoHelpMemory, szNoHelpMemory);
  // Savers read and write their settings under the application's name: never an empty one.
  if (!szAppName[0]) lstrcpyn(szAppName, szName, APPNAMEBUFFERLEN);
}

}  // namespace

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  hMainInstance = instance;
  MyHelpMessage = RegisterWindowMessage(HELPMSGSTRING);
  LoadNames(instance);
  morvane::ScrnsaveParts parts;
  // In the UNICODE library this is ScreenSaverProcW, as the toolchain's header names it; a saver
  // that defines ScreenSaverProc instead gets it through scrnsave_proc_w.cpp.
  parts.saverProc = ScreenSaverProc;
  parts.configureDialog = ConfigureDialog;
  parts.registerDialogClasses = RegisterDialogClasses;
  parts.changePassword = ScreenSaverChangePassword;
#ifdef UNICODE
  parts.wide = true;
#else
  parts.wide = false;
#endif
  return morvane::RunScrnsave(instance, parts);
}

extern "C" LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  return morvane::ScrnsaveDefaultProc(window, message, wParam, lParam);
}

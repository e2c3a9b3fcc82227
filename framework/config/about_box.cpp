#include "core/bounded_text.h"
#include "config/config_dialog.h"
#include "config/on_screen.h"
#include "core/library.h"
#include "core/resource_ids.h"
#include "run/saver_run.h"

namespace morvane {

namespace {

enum { VersionCapacity = 49, SaverAboutDialog = 2004 };

// The version joins the text of control 10, when the dialog has one. A long text keeps its own
// length and loses what of the version does not fit.
INT_PTR OnInitAbout(HWND dialog) {
  // It opens at its owner's client area, which may be near the edge of the screen.
  KeepInsideWorkArea(dialog);
  char version[VersionCapacity];
  if (!GetLibraryVersion(version, VersionCapacity)) return TRUE;
  HWND control = GetDlgItem(dialog, IDC_VERSION_GROUP);
  if (!control) return TRUE;
  char text[NameCapacity] = {};
  GetWindowTextA(control, text, NameCapacity);
  AppendText(text, NameCapacity, " v");
  AppendText(text, NameCapacity, version);
  SetWindowTextA(control, text);
  return TRUE;
}

INT_PTR OnAboutCommand(HWND dialog, WORD command) {
  if (command != IDOK && command != IDCANCEL) return FALSE;
  EndDialog(dialog, command);
  return TRUE;
}

int OpenAbout(HINSTANCE module, int dialogId, HWND owner) {
  return static_cast<int>(
      DialogBoxParamA(module, MAKEINTRESOURCEA(dialogId), owner, AboutDlgProc, 0));
}

}  // namespace

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnInitAbout(dialog);
    case WM_COMMAND: return OnAboutCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}

int OpenFrameworkAbout(HWND owner) {
  return OpenAbout(libraryState.module, IDD_ABOUT, owner);
}

int OpenSaverAbout(HWND owner) {
  return OpenAbout(saverRun.instance, SaverAboutDialog, owner);
}

}  // namespace morvane

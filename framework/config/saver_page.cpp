#include <initializer_list>

#include "config/config_dialog.h"
#include "run/saver_run.h"

namespace morvane {

namespace {

// The saver's page template keeps the OK and Cancel of a dialog of its own; the sheet has its own.
void HideStandAloneButtons(HWND page) {
  for (int id : {IDCANCEL, IDOK}) {
    HWND button = GetDlgItem(page, id);
    if (!button) continue;
    ShowWindow(button, SW_HIDE);
    EnableWindow(button, FALSE);
  }
}

}  // namespace

INT_PTR CALLBACK SaverPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: HideStandAloneButtons(page); break;
    default: break;
  }
  return saverRun.pageProc ? saverRun.pageProc(page, message, wParam, lParam) : FALSE;
}

}  // namespace morvane

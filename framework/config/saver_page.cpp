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

INT_PTR PassToSaver(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  return saverRun.pageProc ? saverRun.pageProc(page, message, wParam, lParam) : FALSE;
}

// Only the framework knows the running saver: the notice goes through the hidden dialog that owns
// the sheet, which passes it on when the run asked for it.
void TellRunningSaver(HWND page, DWORD flags) {
  HWND sheet = GetParent(page);
  HWND hiddenDialog = sheet ? GetParent(sheet) : nullptr;
  if (!hiddenDialog) return;
  ChangeNotice notice = {sheet, flags, nullptr};
  SendMessageA(hiddenDialog, SCRM_SETTINGSCHANGED, 0, reinterpret_cast<LPARAM>(&notice));
}

INT_PTR OnSettingsStored(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!(wParam & NoticeKindSaver)) return PassToSaver(page, message, wParam, lParam);
  TellRunningSaver(page, NoticeSaverChanged);
  return TRUE;
}

// An OK the page refused does not close the sheet and applies nothing. A page that left the
// notification unhandled answered 0, which accepts it.
bool AcceptedApply(HWND page, INT_PTR handled) {
  return !handled || GetWindowLongPtrA(page, DWLP_MSGRESULT) == PSNRET_NOERROR;
}

// The saver's page has handled OK or Cancel first, so the running saver reads what it left.
INT_PTR OnNotify(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR handled = PassToSaver(page, message, wParam, lParam);
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header) return handled;
  if (header->code == PSN_APPLY && AcceptedApply(page, handled)) {
    TellRunningSaver(page, NoticeSaverApplied);
  }
  if (header->code == PSN_RESET) TellRunningSaver(page, NoticeSaverChanged);
  return handled;
}

}  // namespace

INT_PTR CALLBACK SaverPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: HideStandAloneButtons(page); break;
    case SCRM_SETTINGSCHANGED: return OnSettingsStored(page, message, wParam, lParam);
    case WM_NOTIFY: return OnNotify(page, message, wParam, lParam);
    default: break;
  }
  return PassToSaver(page, message, wParam, lParam);
}

}  // namespace morvane

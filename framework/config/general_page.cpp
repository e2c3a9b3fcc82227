#include "config/general_page.h"

#include <prsht.h>

#include "config/general_controls.h"
#include "config/help.h"
#include "settings/user_settings.h"
#include "core/library.h"
#include "core/resource_ids.h"
#include "core/trace.h"

namespace morvane {

namespace {

// The settings of the sheet run; null until WM_INITDIALOG attaches them.
UserSettings* AttachedSettings(HWND page) {
  return reinterpret_cast<UserSettings*>(GetWindowLongPtrA(page, DWLP_USER));
}

INT_PTR OnInitDialog(HWND page, const PROPSHEETPAGEA* sheetPage) {
  Trace("Morvane: GeneralDlgProc: WM_INITDIALOG. Setting up controls");
  if (!sheetPage || !sheetPage->lParam) return TRUE;
  UserSettings* settings = reinterpret_cast<UserSettings*>(sheetPage->lParam);
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(settings));
  InitGeneralControls(page, *settings);
  return TRUE;
}

INT_PTR OnDestroy() {
  // The sheet's owner deletes the settings object once the sheet has closed.
  Trace("Morvane: GeneralDlgProc: WM_DESTROY - tidying up");
  return TRUE;
}

// Every command of every control, whatever its notification: the page reads all of them back.
INT_PTR OnCommand(HWND page, WPARAM command, HWND control) {
  UserSettings* settings = AttachedSettings(page);
  if (!control || !settings) return FALSE;
  GeneralControlChanged(page, *settings, IsDelayEdit(page, command, control));
  return TRUE;
}

INT_PTR OnSetActive() {
  Trace("Morvane: GeneralDlgProc: PSN_SETACTIVE - nothing much");
  return TRUE;
}

INT_PTR OnKillActive(HWND page) {
  Trace("Morvane: GeneralDlgProc: PSN_KILLACTIVE - Validating. Everything is OK");
  SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
  return TRUE;
}

INT_PTR OnApply(HWND page, UserSettings* settings) {
  Trace("Morvane: GeneralDlgProc: PSN_APPLY - remembering current values");
  settings->Remember();
  NotifyGeneralChanges(page, *settings, true);
  SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
  return TRUE;
}

INT_PTR OnReset(HWND page, UserSettings* settings) {
  Trace("Morvane: GeneralDlgProc: PSN_RESET - reverting back");
  if (RevertGeneralSettings(*settings)) {
    settings->WriteRegistry();
    NotifyGeneralChanges(page, *settings, false);
  }
  return TRUE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  UserSettings* settings = AttachedSettings(page);
  if (!settings || !header) return TRUE;
  switch (header->code) {
    case PSN_SETACTIVE: return OnSetActive();
    case PSN_KILLACTIVE: return OnKillActive(page);
    case PSN_APPLY: return OnApply(page, settings);
    case PSN_RESET: return OnReset(page, settings);
    default: return FALSE;
  }
}

void ShowControlHelp(HWND target, UINT command, bool activeConfigBox) {
  char file[NameCapacity];
  if (!ChooseHelpFile(activeConfigBox, file, sizeof file)) return;
  helpCall(target, file, command, reinterpret_cast<ULONG_PTR>(HelpIdTable));
}

INT_PTR OnHelp(const HELPINFO* info) {
  Trace("Morvane: GeneralDlgProc: WM_HELP");
  if (info) {
    ShowControlHelp(static_cast<HWND>(info->hItemHandle), HELP_WM_HELP,
                    info->iCtrlId == IDC_ACTIVE_CONFIG);
  }
  return TRUE;
}

INT_PTR OnContextMenu(HWND page, HWND target) {
  Trace("Morvane: GeneralDlgProc: WM_CONTEXTMENU");
  ShowControlHelp(target, HELP_CONTEXTMENU, target == GetDlgItem(page, IDC_ACTIVE_CONFIG));
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK GeneralDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page, reinterpret_cast<PROPSHEETPAGEA*>(lParam));
    case WM_DESTROY: return OnDestroy();
    case WM_COMMAND: return OnCommand(page, wParam, reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<NMHDR*>(lParam));
    case WM_HELP: return OnHelp(reinterpret_cast<HELPINFO*>(lParam));
    case WM_CONTEXTMENU: return OnContextMenu(page, reinterpret_cast<HWND>(wParam));
    default: return FALSE;
  }
}

}  // namespace morvane

#include "config/general_page.h"

#include <prsht.h>

#include "config/help.h"
#include "settings/user_settings.h"
#include "core/library.h"
#include "core/resource_ids.h"
#include "core/trace.h"

namespace morvane {

namespace {

// The settings object of the sheet run; null until WM_INITDIALOG attaches it.
GeneralDialog* AttachedDialog(HWND page) {
  return reinterpret_cast<GeneralDialog*>(GetWindowLongPtrA(page, DWLP_USER));
}

INT_PTR OnInitDialog(HWND page, const PROPSHEETPAGEA* sheetPage) {
  Trace("Morvane: GeneralDlgProc: WM_INITDIALOG. Setting up controls");
  if (!sheetPage || !sheetPage->lParam) return TRUE;
  GeneralDialog* dialog = reinterpret_cast<GeneralDialog*>(sheetPage->lParam);
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
  dialog->InitControls(page);
  return TRUE;
}

INT_PTR OnDestroy() {
  // The sheet's owner deletes the settings object once the sheet has closed.
  Trace("Morvane: GeneralDlgProc: WM_DESTROY - tidying up");
  return TRUE;
}

// Every command of every control, whatever its notification: the page reads all of them back.
INT_PTR OnCommand(HWND page, LPARAM control) {
  GeneralDialog* dialog = AttachedDialog(page);
  if (!control || !dialog) return FALSE;
  dialog->ControlChanged(page);
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

INT_PTR OnApply(HWND page, GeneralDialog* dialog) {
  Trace("Morvane: GeneralDlgProc: PSN_APPLY - remembering current values");
  dialog->Remember();
  dialog->NotifyChanges(page, true);
  SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
  return TRUE;
}

INT_PTR OnReset(HWND page, GeneralDialog* dialog) {
  Trace("Morvane: GeneralDlgProc: PSN_RESET - reverting back");
  if (dialog->Revert()) {
    dialog->WriteRegistry();
    dialog->NotifyChanges(page, false);
  }
  return TRUE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  GeneralDialog* dialog = AttachedDialog(page);
  if (!dialog || !header) return TRUE;
  switch (header->code) {
    case PSN_SETACTIVE: return OnSetActive();
    case PSN_KILLACTIVE: return OnKillActive(page);
    case PSN_APPLY: return OnApply(page, dialog);
    case PSN_RESET: return OnReset(page, dialog);
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
    case WM_COMMAND: return OnCommand(page, lParam);
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<NMHDR*>(lParam));
    case WM_HELP: return OnHelp(reinterpret_cast<HELPINFO*>(lParam));
    case WM_CONTEXTMENU: return OnContextMenu(page, reinterpret_cast<HWND>(wParam));
    default: return FALSE;
  }
}

}  // namespace morvane

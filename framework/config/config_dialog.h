#pragma once
// The configuration of a saver: a hidden dialog runs the property sheet (the General page and the
// saver's own page), routes the General page's change notices, and the sheet's system menu opens
// the About box. Everything runs modally on the thread that asked for the configuration.
#include <windows.h>
#include <prsht.h>

#include <cstdint>

#include "morvane.h"

namespace morvane {

// The flags of a change notice; forwarded as the wParam of SCRM_SETTINGSCHANGED.
enum : DWORD {
  NoticeToOwner = 0x8000,     // to the owner of the hidden dialog (when the run asked for it)
  NoticeToPreviews = 0x4000,  // to the previews inside monitor controls on the sheet
  NoticeApplied = 0x2000,     // OK applied the settings
  NoticePending = 0x1000,     // a change not yet applied, or the revert of Cancel
  NoticeKindMask = 0x0FFF,
  NoticeKindGeneral = 1,                // the General page's settings
  NoticeKindSaver = SCRSETTINGS_SAVER,  // the saver's own page's settings (no summary)
  NoticeGeneralApplied = 0xE001,
  NoticeGeneralChanged = 0xD001,
  // The saver's page tells its own previews itself: these go to the running saver alone.
  NoticeSaverApplied = NoticeToOwner | NoticeApplied | NoticeKindSaver,
  NoticeSaverChanged = NoticeToOwner | NoticePending | NoticeKindSaver,
};

// What the General page and the saver's page send the hidden dialog with SCRM_SETTINGSCHANGED
// (lParam).
struct ChangeNotice {
  HWND source;  // the sheet
  DWORD flags;
  ScrSettings* summary;  // valid only during the send; null for the saver's own settings
};

// One configuration run, on the stack of DoConfigDialog; the hidden dialog's GWLP_USERDATA.
struct ConfigRequest {
  int32_t notifyOwner;  // non-zero: notices go to the hidden dialog's owner too
  int32_t result;
};

// Configuration mode (notifyOwner 0, owner the foreground window or none) and the active
// configuration of a running saver (notifyOwner 1, owner the saver window). Returns the
// executor's result, or -1 when the hidden dialog cannot be created. Outside a saver run no
// executor is installed: no sheet opens and the result is 0.
int DoConfigDialog(HWND owner, int notifyOwner);

// The notifyOwner of the run that hiddenDialog belongs to.
int RequestedOwnerNotice(HWND hiddenDialog);

// The sheet run modally as the framework runs it; PropertySheetA's result.
int RunPropertySheet(LPPROPSHEETHEADERA header);
// Puts the saver's page (template 2003 of the saver's module, SaverPageProc) in the free second
// slot of the header's page array and opens the sheet on it.
void AddSaverPage(LPPROPSHEETHEADERA header);

// The About boxes, modal and owned by owner; the dialog's result.
int OpenFrameworkAbout(HWND owner);  // dialog 3602 of the framework's module
int OpenSaverAbout(HWND owner);      // dialog 2004 of the saver's module

// Hides and disables the saver page's own OK and Cancel, then hands every message to the saver's
// page procedure, but for the page's report of a stored change (SCRM_SETTINGSCHANGED with
// SCRSETTINGS_SAVER, sent by the page to itself). That report, and the page's OK (PSN_APPLY
// accepted) and Cancel (PSN_RESET), reach the running saver as saver-kind notices.
INT_PTR CALLBACK SaverPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Dialog 3602 and a saver's dialog 2004: the version appended to control 10's text.
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The sheet's callback: once the sheet is initialised, keeps it inside the work area of its
// monitor, then adds the "&About" item and subclasses the sheet.
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM lParam);

// Sends the notice to the saver windows of the live previews among source's descendants.
void NotifyPreviews(HWND source, const ChangeNotice& notice);

}  // namespace morvane

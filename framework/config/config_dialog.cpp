#include "config/config_dialog.h"

#include <commctrl.h>

#include <cstddef>
#include <new>

#include "config/general_page.h"
#include "config/sheet_look.h"
#include "settings/user_settings.h"
#include "core/library.h"
#include "core/own_messages.h"
#include "core/system_library.h"
#include "settings/prefs.h"
#include "core/resource_ids.h"
#include "run/saver_run.h"
#include "core/trace.h"

namespace morvane {

namespace {

enum { GeneralSlot = 0, SaverSlot = 1, SheetSlots = 2, SaverPageTemplate = 2003 };

// The sheet steps through the page array by each record's dwSize, so the records must be exactly
// the size their dwSize claims, on every platform.
// (PROPSHEETPAGEA_V1_SIZE, spelled so that the compiler can check it.)
static_assert(sizeof(PROPSHEETPAGEA_V1) ==
                  offsetof(PROPSHEETPAGEA, pcRefParent) + sizeof(PROPSHEETPAGEA::pcRefParent),
              "first-version page records");
#ifndef _WIN64
// 32-bit Windows reads first-version records of 40 bytes; 64-bit Windows, with wider handles and
// pointers, reads what its headers give.
static_assert(sizeof(PROPSHEETPAGEA_V1) == 40, "32-bit first-version page records");
static_assert(offsetof(PROPSHEETHEADERA, pfnCallback) + sizeof(PROPSHEETHEADERA::pfnCallback) == 40,
              "32-bit first-version sheet header");
#endif
static_assert((PSH_USEHICON | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK) == 0x18A,
              "the sheet's flags");

// The General page's up-down control and the sheet's tabs are of classes the system registers
// only on request.
void RegisterCommonControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_UPDOWN_CLASS | ICC_TAB_CLASSES;
  auto initialise = SystemFunction<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
      "comctl32.dll", "InitCommonControlsEx");
  if (initialise) initialise(&controls);
}

ConfigRequest* RequestOf(HWND hiddenDialog) {
  return reinterpret_cast<ConfigRequest*>(GetWindowLongPtrA(hiddenDialog, GWLP_USERDATA));
}

PROPSHEETPAGEA_V1* PageSlot(LPPROPSHEETHEADERA header, int slot) {
  auto* pages = reinterpret_cast<PROPSHEETPAGEA_V1*>(const_cast<LPPROPSHEETPAGEA>(header->ppsp));
  return pages + slot;
}

void FillPage(PROPSHEETPAGEA_V1* page, HINSTANCE module, int dialogId, DLGPROC procedure,
              LPARAM lParam) {
  *page = {};
  page->dwSize = sizeof *page;
  page->hInstance = module;
  page->pszTemplate = MAKEINTRESOURCEA(dialogId);
  page->pfnDlgProc = procedure;
  page->lParam = lParam;
}

void FillHeader(PROPSHEETHEADERA* header, HWND hiddenDialog, SheetLook* look,
                PROPSHEETPAGEA_V1* pages) {
  *header = {};
  header->dwSize = PROPSHEETHEADERA_V1_SIZE;
  header->dwFlags = PSH_USEHICON | PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  header->hwndParent = hiddenDialog;
  header->hInstance = saverRun.instance;
  header->hIcon = look->smallIcon ? look->smallIcon : look->largeIcon;
  header->pszCaption = look->caption;
  header->nPages = 1;
  header->nStartPage = 0;
  header->ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
  header->pfnCallback = SheetCallback;
}

int ExecuteUserDialog(HWND hiddenDialog, LPPROPSHEETHEADERA header) {
  Trace("Morvane: DoConfigDialog: about to ExecuteUserDialog");
  // Only a saver-main variant says how the sheet runs; outside a saver run there is nobody to
  // configure, and nothing changes.
  int result = saverRun.executors.executeUserDialog
                   ? saverRun.executors.executeUserDialog(hiddenDialog, header)
                   : 0;
  Trace("Morvane: DoConfigDialog: completed ExecuteUserDialog... cleaning up");
  return result;
}

// Builds the sheet's pages and header around the run's settings object and runs the sheet; the
// executor's result, or the dialog failure value when memory runs out.
int RunSheet(HWND hiddenDialog, SheetLook* look) {
  auto* pages = new (std::nothrow) PROPSHEETPAGEA_V1[SheetSlots]();
  auto* settings = pages ? new (std::nothrow) UserSettings() : nullptr;
  int result = -1;
  if (settings) {
    FillPage(&pages[GeneralSlot], libraryState.module, IDD_GENERAL_PAGE, GeneralDlgProc,
             reinterpret_cast<LPARAM>(settings));
    PROPSHEETHEADERA header;
    FillHeader(&header, hiddenDialog, look, pages);
    result = ExecuteUserDialog(hiddenDialog, &header);
  } else {
    Trace("Morvane: DoConfigDialog: out of memory");
  }
  delete settings;
  delete[] pages;
  return result;
}

void BringOwnerForward(HWND hiddenDialog) {
  HWND owner = GetWindow(hiddenDialog, GW_OWNER);
  if (owner && IsWindow(owner)) SetForegroundWindow(owner);
}

// The whole configuration runs here; the dialog ends before it could ever be shown.
INT_PTR OnInitHiddenDialog(HWND hiddenDialog, ConfigRequest* request) {
  SetWindowLongPtrA(hiddenDialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(request));
  SetWindowLongPtrA(hiddenDialog, DWLP_USER, 0);
  SheetLook look;
  LoadSheetLook(&look);
  if (look.largeIcon) {
    SendMessageA(hiddenDialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(look.largeIcon));
  }
  int result = RunSheet(hiddenDialog, &look);
  // The dialog must not keep an icon that is about to be destroyed.
  if (look.largeIcon) SendMessageA(hiddenDialog, WM_SETICON, ICON_BIG, 0);
  ReleaseSheetLook(&look);
  BringOwnerForward(hiddenDialog);
  EndDialog(hiddenDialog, result);
  return TRUE;
}

void SendToOwner(HWND hiddenDialog, const ChangeNotice& notice) {
  HWND owner = GetWindow(hiddenDialog, GW_OWNER);
  if (!owner) return;
  SendOwnMessage(owner, SCRM_SETTINGSCHANGED, notice.flags,
                 reinterpret_cast<LPARAM>(notice.summary));
}

// A notice that names neither receiver is meant for both.
INT_PTR RouteNotice(HWND hiddenDialog, const ChangeNotice* notice) {
  if (!notice) return TRUE;
  bool toOwner = (notice->flags & NoticeToOwner) != 0;
  bool toPreviews = (notice->flags & NoticeToPreviews) != 0;
  if (!toOwner && !toPreviews) toOwner = toPreviews = true;
  if (!RequestedOwnerNotice(hiddenDialog)) toOwner = false;
  if (toOwner) SendToOwner(hiddenDialog, *notice);
  if (toPreviews && !currentPrefs.noPreviewNotify) NotifyPreviews(notice->source, *notice);
  return TRUE;
}

INT_PTR CALLBACK ConfigHostDlgProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitHiddenDialog(dialog, reinterpret_cast<ConfigRequest*>(lParam));
    case SCRM_SETTINGSCHANGED:
      return RouteNotice(dialog, reinterpret_cast<const ChangeNotice*>(lParam));
    default: return FALSE;
  }
}

}  // namespace

int DoConfigDialog(HWND owner, int notifyOwner) {
  RegisterCommonControls();
  Trace("Morvane: DoConfigDialog: starting...");
  CheckResources();
  ConfigRequest request = {notifyOwner, 0};
  request.result = static_cast<int>(
      DialogBoxParamA(libraryState.module, MAKEINTRESOURCEA(IDD_CONFIG_HOST), owner,
                      ConfigHostDlgProc, reinterpret_cast<LPARAM>(&request)));
  Trace("Morvane: ~DoConfigDialog.");
  return request.result;
}

int RequestedOwnerNotice(HWND hiddenDialog) {
  const ConfigRequest* request = RequestOf(hiddenDialog);
  return request ? request->notifyOwner : 0;
}

int RunPropertySheet(LPPROPSHEETHEADERA header) {
  auto propertySheet =
      SystemFunction<INT_PTR(WINAPI*)(LPCPROPSHEETHEADERA)>("comctl32.dll", "PropertySheetA");
  return propertySheet ? static_cast<int>(propertySheet(header)) : -1;
}

void AddSaverPage(LPPROPSHEETHEADERA header) {
  FillPage(PageSlot(header, SaverSlot), saverRun.instance, SaverPageTemplate, SaverPageProc, 0);
  header->nPages = SheetSlots;
  header->nStartPage = SaverSlot;
}

}  // namespace morvane

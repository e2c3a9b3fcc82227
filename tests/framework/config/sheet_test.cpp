// The configuration sheet as each saver-main variant runs it: its caption and icons, its pages
// and tabs, the hooks and the host that may take it over.
#include <gtest/gtest.h>

#include <cstring>

#include "config/config_dialog.h"
#include "core/library.h"
#include "run/saver_run.h"
#include "sheet_support.h"

using namespace morvane;

namespace {

using Tabs = std::vector<std::string>;

// The first-version records a sheet is handed: 40 bytes each in 32-bit Windows, the sizes the
// headers give in 64-bit Windows. The page array is walked by each record's dwSize.
#ifdef _WIN64
const size_t headerRecordSize = PROPSHEETHEADERA_V1_SIZE;
const size_t pageRecordSize = PROPSHEETPAGEA_V1_SIZE;
#else
const size_t headerRecordSize = 40;
const size_t pageRecordSize = 40;
#endif

// What the driver saw of one sheet.
struct SheetSeen {
  std::string caption;
  Tabs tabs;
  int currentTab = -1;
  IconPicture sheetIcon;
  IconPicture hiddenIcon;
  bool hiddenVisible = true;
};

SheetVisit Observe(SheetSeen* seen) {
  SheetVisit visit;
  visit.script = [seen](HWND sheet) {
    seen->caption = TextOf(sheet);
    seen->tabs = TabTexts(sheet);
    seen->currentTab = CurrentTab(sheet);
    seen->sheetIcon =
        PictureOf(reinterpret_cast<HICON>(SendMessageA(sheet, WM_GETICON, ICON_SMALL, 0)));
    HWND hidden = HiddenDialogOf(sheet);
    seen->hiddenIcon =
        PictureOf(reinterpret_cast<HICON>(SendMessageA(hidden, WM_GETICON, ICON_BIG, 0)));
    seen->hiddenVisible = IsWindowVisible(hidden) != 0;
  };
  return visit;
}

INT_PTR CALLBACK QuietPageProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

using SheetLook = ConfigRun;

TEST_F(SheetLook, ASaversCaptionAndIconWinOverTheFrameworks) {
  HMODULE saver = LoadSaverModule("sheet_saver_full.dll");
  ASSERT_TRUE(saver);
  saverRun.instance = saver;
  saverRun.pageProc = QuietPageProc;
  SheetSeen seen;
  SheetVisit visit = Observe(&seen);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  EXPECT_EQ("Aurora Settings", seen.caption);
  EXPECT_EQ((Tabs{"General", "Aurora"}), seen.tabs);
  // Icon 100 (red) comes before the same module's icon 199 (green).
  ASSERT_FALSE(seen.sheetIcon.pixels.empty());
  EXPECT_EQ(ModuleIcon(saver, 100, true), seen.sheetIcon);
  EXPECT_FALSE(ModuleIcon(saver, 199, true) == seen.sheetIcon);
  EXPECT_EQ(ModuleIcon(saver, 100, false), seen.hiddenIcon);
  EXPECT_FALSE(seen.hiddenVisible);
  FreeLibrary(saver);
}

TEST_F(SheetLook, WhatTheSaversModuleLacksComesFromTheFrameworks) {
  HMODULE iconOnly = LoadSaverModule("sheet_saver_icon.dll");
  ASSERT_TRUE(iconOnly);
  saverRun.instance = iconOnly;
  SheetSeen seen;
  SheetVisit visit = Observe(&seen);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  EXPECT_EQ("Screen Saver Properties", seen.caption);
  // Neither module has icon 100: the saver's icon 199 (blue) comes before the framework's.
  EXPECT_EQ(ModuleIcon(iconOnly, 199, true), seen.sheetIcon);
  EXPECT_FALSE(ModuleIcon(libraryState.module, 199, true) == seen.sheetIcon);
  EXPECT_EQ(ModuleIcon(iconOnly, 199, false), seen.hiddenIcon);

  saverRun.instance = GetModuleHandleA(nullptr);  // no saver icon at all: the framework's own
  seen = SheetSeen{};
  visit = Observe(&seen);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  EXPECT_EQ(ModuleIcon(libraryState.module, 199, true), seen.sheetIcon);
  EXPECT_FALSE(seen.sheetIcon.pixels.empty());
  FreeLibrary(iconOnly);
}

TEST_F(SheetLook, WithoutTheHiddenDialogsTemplateNothingRunsAndTheResultIsTheFailureValue) {
  HMODULE iconOnly = LoadSaverModule("sheet_saver_icon.dll");
  ASSERT_TRUE(iconOnly);
  libraryState.module =
      iconOnly;  // holds icon 199, so the resource check passes, but no dialog 3600
  SheetVisit visit;
  EXPECT_EQ(-1, RunConfiguration(owner, 0, &visit));
  EXPECT_EQ(0, visit.sheetsSeen);
  FreeLibrary(iconOnly);
}

using PlainSheet = ConfigRun;

TEST_F(PlainSheet, WithoutAPageProcedureOnlyTheGeneralTabIsShown) {
  SheetSeen seen;
  SheetVisit visit = Observe(&seen);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  EXPECT_EQ((Tabs{"General"}), seen.tabs);
  EXPECT_EQ(0, seen.currentTab);
  EXPECT_EQ(0, testPageInits);
}

TEST_F(PlainSheet, ThePageOpensOnTheSaversTabWithItsOwnButtonsHiddenAndDisabled) {
  saverRun.pageProc = TestPageProc;
  SheetSeen seen;
  bool buttonsVisible = true, buttonsEnabled = true, pageTextShown = false, sheetOkEnabled = false;
  SheetVisit visit = Observe(&seen);
  auto observeLook = visit.script;
  visit.script = [&](HWND sheet) {
    observeLook(sheet);
    HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    HWND ok = GetDlgItem(page, IDOK);
    HWND cancel = GetDlgItem(page, IDCANCEL);
    buttonsVisible = !ok || !cancel || IsWindowVisible(ok) || IsWindowVisible(cancel);
    buttonsEnabled = !ok || !cancel || IsWindowEnabled(ok) || IsWindowEnabled(cancel);
    pageTextShown = TextOf(GetDlgItem(page, 102)) == "Test saver settings";
    sheetOkEnabled =
        IsWindowVisible(GetDlgItem(sheet, IDOK)) && IsWindowEnabled(GetDlgItem(sheet, IDOK));
  };
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  EXPECT_EQ((Tabs{"General", "Test Saver"}), seen.tabs);
  EXPECT_EQ(1, seen.currentTab);
  EXPECT_TRUE(pageTextShown);
  EXPECT_FALSE(buttonsVisible);
  EXPECT_FALSE(buttonsEnabled);
  EXPECT_TRUE(sheetOkEnabled);
  EXPECT_EQ(1, testPageInits);  // every message reaches the saver's procedure
}

TEST_F(PlainSheet, OutsideASaverRunNoSheetOpensAndNothingChanges) {
  saverRun.executors = SaverExecutors{};
  SheetVisit visit;
  EXPECT_EQ(0, RunConfiguration(owner, 1, &visit));
  EXPECT_EQ(0, visit.sheetsSeen);
}

TEST_F(PlainSheet, TheSheetsOwnResultComesBack) {
  SheetVisit visit;
  visit.closeButton = PSBTN_OK;
  EXPECT_EQ(1, RunConfiguration(owner, 0, &visit));
  EXPECT_EQ(1, visit.sheetsSeen);
}

std::string Describe(const RECT& rect) {
  return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// The sheet opens where its owner's client area starts, the About box where the sheet's does:
// wherever that is, both must be whole on the screen, OK and Cancel included.
TEST_F(PlainSheet, TheSheetAndItsAboutBoxLieInsideTheWorkAreaWhereverTheOwnerSits) {
  saverRun.pageProc = TestPageProc;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work = monitor.rcWork;
  const POINT places[] = {
      {500, 400}, {work.right - 40, work.bottom - 30}, {work.left - 60, work.top - 40}, {20, 20}};
  for (POINT place : places) {
    SCOPED_TRACE(testing::Message()
                 << "owner at " << place.x << "," << place.y << " in " << Describe(work));
    SetWindowPos(owner, nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT sheetRect = {}, cancelRect = {};
    AboutView about;
    SheetVisit visit;
    visit.script = [&](HWND sheet) {
      GetWindowRect(sheet, &sheetRect);
      GetWindowRect(GetDlgItem(sheet, IDCANCEL), &cancelRect);
      PostMessageA(sheet, WM_SYSCOMMAND, 3500, 0);
      about = AwaitAbout(sheet, IDOK);
    };
    EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
    ASSERT_EQ(1, visit.sheetsSeen);
    EXPECT_TRUE(Inside(sheetRect, work)) << "sheet " << Describe(sheetRect);
    if (place.x > work.right - 100 && place.y > work.bottom - 100) {
      // Moved only as far as it must: it keeps to the corner its owner is in.
      EXPECT_EQ(work.right, sheetRect.right);
      EXPECT_EQ(work.bottom, sheetRect.bottom);
    }
    EXPECT_TRUE(Inside(cancelRect, work)) << "Cancel " << Describe(cancelRect);
    ASSERT_TRUE(about.shown);
    EXPECT_TRUE(Inside(about.rect, work)) << "About " << Describe(about.rect);
  }
}

// What the sheet hook was given.
struct HookCall {
  int calls = 0;
  HWND hidden = nullptr;
  HWND hiddenOwner = nullptr;
  int notify = -1;
  PROPSHEETHEADERA header = {};
  PROPSHEETPAGEA firstPage = {};
  std::string caption;
};
HookCall hookCall;
int hookAnswer;

int WINAPI RecordingSheetHook(HWND hidden, LPPROPSHEETHEADERA header, int notify) {
  ++hookCall.calls;
  hookCall.hidden = hidden;
  hookCall.hiddenOwner = GetWindow(hidden, GW_OWNER);
  hookCall.notify = notify;
  hookCall.header = *header;
  hookCall.caption = header->pszCaption;
  std::memcpy(&hookCall.firstPage, header->ppsp, pageRecordSize);
  return hookAnswer;
}

PROPSHEETPAGEA* SecondRecord(LPPROPSHEETHEADERA header) {
  return reinterpret_cast<PROPSHEETPAGEA*>(
      reinterpret_cast<BYTE*>(const_cast<LPPROPSHEETPAGEA>(header->ppsp)) + pageRecordSize);
}

// Puts this program's page in the free slot, one first-version record after the General page.
int WINAPI PageAddingSheetHook(HWND, LPPROPSHEETHEADERA header, int) {
  PROPSHEETPAGEA* slot = SecondRecord(header);
  std::memset(slot, 0, pageRecordSize);
  slot->dwSize = static_cast<DWORD>(pageRecordSize);
  slot->hInstance = GetModuleHandleA(nullptr);
  slot->pszTemplate = MAKEINTRESOURCEA(2003);
  slot->pfnDlgProc = TestPageProc;
  header->nPages = 2;
  return static_cast<int>(PropertySheetA(header));
}

// What the record one first-version size after the General page's holds once the framework has
// put the saver's page in the free slot, as ScrMain does before it opens the sheet.
struct SecondSlot {
  DWORD dwSize = 0;
  HINSTANCE hInstance = nullptr;
  LPCSTR pszTemplate = nullptr;
};
SecondSlot secondSlot;

int WINAPI SaverPageAddingSheetHook(HWND, LPPROPSHEETHEADERA header, int) {
  AddSaverPage(header);
  const PROPSHEETPAGEA* second = SecondRecord(header);
  secondSlot = {second->dwSize, second->hInstance, second->pszTemplate};
  return 0;
}

using HookedSheet = ConfigRun;

TEST_F(HookedSheet, TheHookIsGivenTheFilledHeaderAndAnythingButNineIsTheResult) {
  saverRun.executors = hookedExecutors;
  saverRun.sheetHook = RecordingSheetHook;
  struct Case {
    int answer, notifyOwner, sheets, result;
  } cases[] = {{9, 1, 1, 0}, {0, 0, 0, 0}, {7, 1, 0, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    hookCall = HookCall{};
    hookAnswer = c.answer;
    SheetVisit visit;
    EXPECT_EQ(c.result, RunConfiguration(owner, c.notifyOwner, &visit));
    EXPECT_EQ(c.sheets, visit.sheetsSeen);
    ASSERT_EQ(1, hookCall.calls);
    EXPECT_EQ(c.notifyOwner, hookCall.notify);
    EXPECT_EQ(owner, hookCall.hiddenOwner);
    EXPECT_EQ(hookCall.hidden, hookCall.header.hwndParent);
    EXPECT_EQ(headerRecordSize, hookCall.header.dwSize);
    EXPECT_EQ(0x18Au, hookCall.header.dwFlags);
    EXPECT_EQ(saverRun.instance, hookCall.header.hInstance);
    EXPECT_EQ(1u, hookCall.header.nPages);
    EXPECT_EQ(0u, hookCall.header.nStartPage);
    EXPECT_TRUE(hookCall.header.hIcon);
    EXPECT_EQ("Screen Saver Properties", hookCall.caption);
    EXPECT_EQ(pageRecordSize, hookCall.firstPage.dwSize);
    EXPECT_EQ(libraryState.module, hookCall.firstPage.hInstance);
    EXPECT_EQ(MAKEINTRESOURCEA(3601), hookCall.firstPage.pszTemplate);
    EXPECT_NE(0, hookCall.firstPage.lParam);
  }
}

TEST_F(HookedSheet, TheFrameworksOwnSecondPageIsOneFirstVersionRecordAfterTheFirst) {
  saverRun.executors = hookedExecutors;
  saverRun.sheetHook = SaverPageAddingSheetHook;
  secondSlot = SecondSlot{};
  SheetVisit visit;
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  EXPECT_EQ(0, visit.sheetsSeen);
  EXPECT_EQ(pageRecordSize, secondSlot.dwSize);
  EXPECT_EQ(saverRun.instance, secondSlot.hInstance);
  EXPECT_EQ(MAKEINTRESOURCEA(2003), secondSlot.pszTemplate);
}

TEST_F(HookedSheet, AHookMayAddItsPageInTheFreeSlotAndRunTheSheetItself) {
  saverRun.executors = hookedExecutors;
  saverRun.sheetHook = PageAddingSheetHook;
  SheetSeen seen;
  SheetVisit visit = Observe(&seen);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  EXPECT_EQ((Tabs{"General", "Test Saver"}), seen.tabs);
  EXPECT_EQ(0, seen.currentTab);
}

// A host window that answers SCRHOST_CONFIGURE with configureAnswer and records the request.
LRESULT configureAnswer;
int configureRequests;
WPARAM configureWParam;
DWORD configureHeaderSize;
HWND configureHeaderParent;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != SCRHOST_CONFIGURE) return DefHostProc(window, message, wParam, lParam);
  ++configureRequests;
  configureWParam = wParam;
  auto* header = reinterpret_cast<LPPROPSHEETHEADERA>(lParam);
  configureHeaderSize = header->dwSize;
  configureHeaderParent = header->hwndParent;
  return configureAnswer;
}

using HostedSheet = ConfigRun;

TEST_F(HostedSheet, AHostThatConfiguresReplacesTheSheetAndTheResultIsOne) {
  WNDCLASSA hostClass = {};
  hostClass.lpfnWndProc = HostProc;
  hostClass.hInstance = GetModuleHandleA(nullptr);
  hostClass.lpszClassName = "SheetTestHost";
  RegisterClassA(&hostClass);
  saverRun.hostWindow = CreateWindowExA(0, "SheetTestHost", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
  saverRun.executors = hostedExecutors;
  struct Case {
    LRESULT answer;
    int sheets, result;
  } cases[] = {{0, 1, 0}, {1, 0, 1}, {5, 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    configureAnswer = c.answer;
    configureRequests = 0;
    SheetVisit visit;
    EXPECT_EQ(c.result, RunConfiguration(owner, 0, &visit));
    EXPECT_EQ(c.sheets, visit.sheetsSeen);
    EXPECT_EQ(1, configureRequests);
    EXPECT_EQ(reinterpret_cast<WPARAM>(configureHeaderParent), configureWParam);
    EXPECT_EQ(headerRecordSize, configureHeaderSize);
  }
  DestroyWindow(saverRun.hostWindow);
}

}  // namespace

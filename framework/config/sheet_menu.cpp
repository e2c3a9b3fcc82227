// The "&About" item of the sheet's system menu. The sheet is subclassed to see the item's command;
// its previous procedure is kept by the hidden dialog that owns it, for the sheet's whole life.
#include "config/config_dialog.h"
#include "config/on_screen.h"
#include "core/library.h"
#include "settings/prefs.h"
#include "core/resource_ids.h"
#include "run/saver_run.h"

namespace morvane {

namespace {

// The separator's id; a separator needs none, and its text is never shown.
enum { AboutSeparatorId = 1, AboutCommand = IDS_ABOUT_ITEM };

HWND KeeperOf(HWND sheet) {
  return GetWindow(sheet, GW_OWNER);
}

WNDPROC StoredSheetProc(HWND sheet) {
  HWND keeper = KeeperOf(sheet);
  return keeper ? reinterpret_cast<WNDPROC>(GetWindowLongPtrA(keeper, DWLP_USER)) : nullptr;
}

void AddAboutItem(HWND sheet) {
  char text[NameCapacity];
  if (!LoadFrameworkString(IDS_ABOUT_ITEM, text, NameCapacity)) return;
  HMENU menu = GetSystemMenu(sheet, FALSE);
  if (!menu) return;
  AppendMenuA(menu, MF_SEPARATOR, AboutSeparatorId, "temp");
  AppendMenuA(menu, MF_STRING, AboutCommand, text);
}

LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam);

void SubclassSheet(HWND sheet) {
  HWND keeper = KeeperOf(sheet);
  if (!keeper) return;
  LONG_PTR previous =
      SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SheetSubclassProc));
  SetWindowLongPtrA(keeper, DWLP_USER, previous);
}

void RestoreSheetProc(HWND sheet, WNDPROC previous) {
  if (previous) SetWindowLongPtrA(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

void OpenAboutOnCommand(HWND sheet, WPARAM command) {
  if (command != AboutCommand || !saverRun.executors.executeAbout) return;
  saverRun.executors.executeAbout(sheet);
}

LRESULT PassOn(WNDPROC previous, HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!previous) return DefWindowProcA(sheet, message, wParam, lParam);
  return CallWindowProcA(previous, sheet, message, wParam, lParam);
}

LRESULT CALLBACK SheetSubclassProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = StoredSheetProc(sheet);
  switch (message) {
    case WM_DESTROY: RestoreSheetProc(sheet, previous); break;
    case WM_SYSCOMMAND: OpenAboutOnCommand(sheet, wParam); break;
    default: break;
  }
  return PassOn(previous, sheet, message, wParam, lParam);
}

}  // namespace

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message != PSCB_INITIALIZED) return 0;
  // The sheet opens at its owner's client area and has just grown to fit its pages; it is not yet
  // shown, so it appears where it stays.
  KeepInsideWorkArea(sheet);
  if (currentPrefs.noAboutMenu) return 0;
  AddAboutItem(sheet);
  SubclassSheet(sheet);
  return 0;
}

}  // namespace morvane

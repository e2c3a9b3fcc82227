// A saver built on ScrMain: its own window procedure draws on every tick and passes everything
// else to DefSaverProc. Also built without the framework's resources (test_saver_bare).
//   MORVANE_TEST_OPTIONS  owncompanion: before the run, a window of the companion's class with a
//                         child, in this process, so that "/p tavisk" previews where pixels show;
//                         page: the saver's settings page (dialog 2003) with a live preview
#include "saver_support.h"

namespace {

HINSTANCE saverModule;
int runNumber;

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

int RunAgain() {
  return ScrMain(saverModule, SaverProc, nullptr, nullptr, 0);
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) LogCreation(window, reinterpret_cast<CREATESTRUCTA*>(lParam));
  if (message == SCRM_TIMER) return TickTestSaver(window, RunAgain);
  LogSaverMessage(window, message, wParam, lParam);
  return DefSaverProc(window, message, wParam, lParam);
}

// A later run registers its own procedure; the log shows that its windows use it.
LRESULT CALLBACK LaterRunProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) TestLog("later run procedure");
  return SaverProc(window, message, wParam, lParam);
}

enum { PreviewControl = 101 };

bool ControlShown(HWND page, int id) {
  HWND control = GetDlgItem(page, id);
  return IsWindowVisible(control) || IsWindowEnabled(control);
}

INT_PTR OnPageInit(HWND page) {
  HWND preview = CreatePreview(GetDlgItem(page, PreviewControl));
  TestLog("page init okshown=%d cancelshown=%d preview=%d", ControlShown(page, IDOK) ? 1 : 0,
          ControlShown(page, IDCANCEL) ? 1 : 0, preview ? 1 : 0);
  return TRUE;
}

INT_PTR OnPageNotify(const NMHDR* header) {
  if (header->code == PSN_APPLY) TestLog("page apply");
  if (header->code == PSN_RESET) TestLog("page reset");
  return FALSE;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnPageInit(page);
    case WM_NOTIFY: return OnPageNotify(reinterpret_cast<const NMHDR*>(lParam));
    default: return FALSE;
  }
}

bool MonitorClassRegistered() {
  WNDCLASSEXA info = {};
  info.cbSize = sizeof info;
  return GetClassInfoExA(GetModuleHandleA(nullptr), "MorvaneMonitorClass", &info) != 0;
}

void WINAPI InitSaver(HINSTANCE) {
  TestLog("init run=%d monitorclass=%d", runNumber, MonitorClassRegistered() ? 1 : 0);
}

void CreateOwnCompanion() {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = saverModule;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = "tavisk";
  RegisterClassExA(&windowClass);
  windowClass.lpszClassName = "OwnCompanionScreen";
  RegisterClassExA(&windowClass);
  HWND frame = CreateWindowExA(0, "tavisk", "Own companion", WS_POPUP | WS_VISIBLE, 100, 100, 320,
                               240, nullptr, nullptr, saverModule, nullptr);
  HWND screen = CreateWindowExA(0, "OwnCompanionScreen", "", WS_CHILD | WS_VISIBLE, 20, 20, 240,
                                180, frame, nullptr, saverModule, nullptr);
  TestLog("own companion child=0x%x", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(screen)));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  saverModule = instance;
  PrepareTestSaver();
  if (TestListHas("MORVANE_TEST_OPTIONS", "owncompanion")) CreateOwnCompanion();
  DLGPROC page = TestListHas("MORVANE_TEST_OPTIONS", "page") ? PageProc : nullptr;
  int runs = TestNumber("MORVANE_TEST_RUNS", 1);
  int result = 2;
  for (runNumber = 1; runNumber <= runs; ++runNumber) {
    result = ScrMain(instance, runNumber == 1 ? SaverProc : LaterRunProc, page, InitSaver, 0);
    TestLog("run %d result=%d monitorclass=%d", runNumber, result,
            MonitorClassRegistered() ? 1 : 0);
  }
  return result;
}

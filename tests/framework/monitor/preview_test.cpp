// CreatePreview during a configuration run: the run is set up as RunSaver leaves it for the pages
// (running flag, executors, thread registry), with the executor the plain variant uses.
#include <gtest/gtest.h>

#include "core/library.h"
#include "message_box_spy.h"
#include "monitor/monitor_classes.h"
#include "monitor_fixture.h"
#include "morvane.h"
#include "run/saver_run.h"
#include "window/saver_windows.h"
#include "timer/timer.h"

using namespace morvane;

namespace {

const char previewClass[] = "MonitorTestSaverClass";
int ticks;

LRESULT CALLBACK TickingSaver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SCRM_TIMER) {
    ++ticks;
    return 10;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

HWND MakePreview(HWND parent, bool inMonitor) {
  SaverWindowRequest request = DescribePreviewWindow(previewClass, parent, inMonitor);
  return FinishSaverWindow(request, CreateDescribedWindow(request.create));
}

void SetDebugTrace(int on) {
  ScrPrefs* prefs = ScrGetPrefs();
  prefs->debugTrace = on;
  ScrSetPrefs(prefs);
}

class PreviewRun : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDebugTrace(1);  // programming errors show in boxes, which the spy records
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TickingSaver;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = previewClass;
    RegisterClassExA(&windowClass);
    OpenThreadRegistry();
    RaiseTimerResolution();
    saverRun.executors = SaverExecutors{MakePreview, nullptr, nullptr, nullptr, nullptr};
    libraryState.saverRunning = true;
    ticks = 0;
    StartAnsweringBoxes();
  }
  void TearDown() override {
    StopAnsweringBoxes();
    if (page) DestroyWindow(page);
    PumpPending();
    libraryState.saverRunning = false;
    saverRun.executors = SaverExecutors{};
    EXPECT_TRUE(AwaitTimerThreads(3000));
    CloseThreadRegistry();
    RestoreTimerResolution();
    SetDebugTrace(0);
  }
  HWND page = nullptr;
};

TEST_F(PreviewRun, TicksInsideAPreviewControlUntilThePageGoes) {
  page = OpenPage(PreviewPage);
  ASSERT_TRUE(page);
  HWND control = GetDlgItem(page, MonitorId);
  HWND inner = GetWindow(control, GW_CHILD);
  ASSERT_TRUE(inner);
  RECT innerRect;
  GetWindowRect(inner, &innerRect);
  MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&innerRect), 2);
  EXPECT_EQ(16, innerRect.left);
  EXPECT_EQ(17, innerRect.top);
  EXPECT_EQ(169, innerRect.right);
  EXPECT_EQ(130, innerRect.bottom);

  HWND preview = CreatePreview(control);
  ASSERT_TRUE(preview);
  EXPECT_EQ(inner, GetParent(preview));
  EXPECT_EQ(preview, GetWindow(inner, GW_CHILD));
  EXPECT_TRUE(PumpUntil([] { return ticks >= 3; }, 3000)) << ticks;

  DestroyWindow(page);
  page = nullptr;
  EXPECT_FALSE(IsWindow(preview));
  EXPECT_TRUE(AwaitTimerThreads(2000));
  EXPECT_EQ(1, CountTimerThreads());
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_TRUE(StopAnsweringBoxes().empty());
  StartAnsweringBoxes();
}

TEST_F(PreviewRun, AControlInAnotherModeGetsNoPreview) {
  page = OpenPage(CornersPage);
  ASSERT_TRUE(page);
  HWND control = GetDlgItem(page, MonitorId);
  EXPECT_EQ(nullptr, CreatePreview(control));
  // Switched to preview mode afterwards it still has no inner window.
  SetWindowLongPtrA(control, GWL_STYLE, (GetWindowLongPtrA(control, GWL_STYLE) & ~3L) | MS_PREVIEW);
  EXPECT_EQ(nullptr, CreatePreview(control));
  EXPECT_EQ(nullptr, GetWindow(control, GW_CHILD));
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  StartAnsweringBoxes();
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Programming error", boxes[0].caption);
  EXPECT_NE(std::string::npos, boxes[0].text.find("MS_PREVIEW"));
  EXPECT_EQ("Internal error", boxes[1].caption);
  EXPECT_EQ("CreatePreview: No monitor-window window could be found.", boxes[1].text);
  EXPECT_EQ(0, ticks);
}

TEST_F(PreviewRun, AnyOtherWindowHostsThePreviewItselfAndItsEndEndsNoLoop) {
  page = OpenPage(CornersPage);
  ASSERT_TRUE(page);
  HWND host = GetDlgItem(page, StaticId);
  HWND preview = CreatePreview(host);
  ASSERT_TRUE(preview);
  EXPECT_EQ(host, GetParent(preview));
  RECT hostRect, previewRect;
  GetWindowRect(host, &hostRect);
  GetWindowRect(preview, &previewRect);
  EXPECT_TRUE(EqualRect(&hostRect, &previewRect));
  EXPECT_TRUE(PumpUntil([] { return ticks >= 2; }, 3000)) << ticks;
  DestroyWindow(page);
  page = nullptr;
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

  // A class whose name differs from the monitor's only in case is any other window: its mode
  // bits are not read. Class names are looked up without case, so the monitor classes make way
  // for it meanwhile.
  ASSERT_TRUE(UnregisterMonitorClasses());
  WNDCLASSEXA lookalike = {};
  lookalike.cbSize = sizeof lookalike;
  lookalike.lpfnWndProc = DefWindowProcA;
  lookalike.hInstance = GetModuleHandleA(nullptr);
  lookalike.lpszClassName = "morvanemonitorclass";
  ASSERT_TRUE(RegisterClassExA(&lookalike));
  HWND other = CreateWindowExA(0, "morvanemonitorclass", "", WS_POPUP | MS_CORNERS, 0, 0, 50, 40,
                               nullptr, nullptr, lookalike.hInstance, nullptr);
  ASSERT_TRUE(other);
  char name[64];
  GetClassNameA(other, name, sizeof name);
  ASSERT_STREQ("morvanemonitorclass", name);
  HWND inside = CreatePreview(other);
  EXPECT_TRUE(inside);
  EXPECT_EQ(other, GetParent(inside));
  DestroyWindow(other);
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // a system preview's end may quit
  UnregisterClassA("morvanemonitorclass", lookalike.hInstance);
  EXPECT_TRUE(RegisterMonitorClasses());
  EXPECT_TRUE(StopAnsweringBoxes().empty());
  StartAnsweringBoxes();
}

TEST_F(PreviewRun, NullOrOutsideARunGivesNothing) {
  EXPECT_EQ(nullptr, CreatePreview(nullptr));
  page = OpenPage(PreviewPage);
  ASSERT_TRUE(page);
  libraryState.saverRunning = false;
  EXPECT_EQ(nullptr, CreatePreview(GetDlgItem(page, MonitorId)));
  EXPECT_EQ(nullptr, CreatePreview(GetDlgItem(page, StaticId)));
  EXPECT_EQ(nullptr, GetWindow(GetDlgItem(page, StaticId), GW_CHILD));
  EXPECT_TRUE(StopAnsweringBoxes().empty());
  StartAnsweringBoxes();
}

}  // namespace

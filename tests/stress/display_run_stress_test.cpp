// A full-screen run over several monitors whose monitors keep changing: a hundred display changes,
// each unplugging a monitor and plugging another in, with a saver window per monitor ticking on its
// own thread. Every window and thread of a monitor that went must go with it, and the run's end
// must leave nothing.
#include <gtest/gtest.h>

#include "test_monitors.h"

#include <cstring>

#include "core/library.h"
#include "displays/display_run.h"
#include "run/saver_run.h"
#include "stress_support.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"
#include "window/saver_windows.h"

using namespace morvane;

namespace {

enum { Changes = 100, WarmUpChanges = 4, TickPeriodMs = 20 };

// The primary and one more monitor, which changes name and side with every change.
int change;
int ListChangingMonitors(DesktopMonitor* monitors, int capacity) {
  if (capacity < 2) return 0;
  char key[16];
  std::snprintf(key, sizeof key, "M%d", change);
  monitors[0] = Monitor("P", 0, 0, 320, 240, true);
  monitors[1] = change % 2 ? Monitor(key, -200, 0, 200, 150) : Monitor(key, 320, 0, 200, 150);
  return 2;
}

int ticks;

// Dispatches this thread's messages until WM_QUIT comes (true) or limitMs pass. The quit message
// comes only once the queue is empty, so it is looked for among the messages taken.
bool DrainUntilQuit(DWORD limitMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < limitMs) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return true;
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return false;
}
// Another program taking the foreground ends a real run, and the tests beside this one open
// windows of their own: this run, about windows and threads across display changes, ignores being
// deactivated.
LRESULT CALLBACK CountingSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SCRM_TIMER) {
    ++ticks;
    return TickPeriodMs;
  }
  if (message == WM_ACTIVATEAPP && !wParam) return 0;
  if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) return 0;
  return DefSaverProc(window, message, wParam, lParam);
}

class DisplayRunStress : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    ScrPrefs* prefs = ScrGetPrefs();
    ASSERT_NE(nullptr, prefs);
    prefs->noTimers = 0;
    prefs->debugTrace = 0;
    prefs->debugMode = 0;
    ScrSetPrefs(prefs);
    savedRun = saverRun;
    savedPolicy = displayRun.policy;
    RegisterSaverClass(GetModuleHandleA(nullptr), plainSaverClass, CountingSaverProc, BLACK_BRUSH);
    displayRun.listMonitors = ListChangingMonitors;
  }

  void TearDown() override {
    displayRun.listMonitors = ListSystemMonitors;
    displayRun.policy = savedPolicy;
    saverRun = savedRun;
    UnregisterClassA(plainSaverClass, GetModuleHandleA(nullptr));
  }

  // One run as RunSaver frames it, through changes display changes, each followed by ticks of the
  // new window; then the run's end.
  void RunThroughChanges(int changes, StressFigures* figures = nullptr) {
    ASSERT_TRUE(ScrSetMonitorPolicy(SCRMONITORS_EACH));
    libraryState.saverRunning = true;
    saverRun.executors = plainExecutors;
    saverRun.instance = GetModuleHandleA(nullptr);
    OpenThreadRegistry();
    change = 0;
    ASSERT_TRUE(StartDisplayRun(plainExecutors.makeSaverWindow));
    for (int i = 1; i <= changes; ++i) {
      change = i;
      SendMessageA(displayRun.watcher, WM_DISPLAYCHANGE, 32, 0);
      ASSERT_EQ(2, RunSaverWindowCount()) << "change " << i;
      int before = ticks;
      ASSERT_TRUE(PumpMessagesUntil([before] { return ticks >= before + 2; }, 5000))
          << "no ticks after change " << i;
    }
    if (figures) figures->during = CountResources();
    DestroyRunSaverWindows();
    // Only drains the queue: whether the run's end posts its quit message is the functional
    // tests' concern (framework_display_run_test), and here, under load, it may come late.
    DrainUntilQuit(2000);
    EndDisplayRun();
    libraryState.saverRunning = false;
    EXPECT_TRUE(AwaitTimerThreads(TimerThreadWaitLimit));
    CloseThreadRegistry();
  }

  SaverRun savedRun;
  int savedPolicy = 0;
};

TEST_F(DisplayRunStress, MonitorsChangingAHundredTimesLeaveNoWindowThreadOrHandle) {
  LONG recordsBefore = liveTimerRecords;
  ExpectNoLeak(
      "display changes in one run", [&] { RunThroughChanges(WarmUpChanges); },
      [&](StressFigures* figures) {
        RunThroughChanges(Changes, figures);
        return Changes;
      });
  EXPECT_EQ(recordsBefore, liveTimerRecords);
}

}  // namespace

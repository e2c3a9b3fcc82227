// A hundred saver windows ticking at once in one run, made by the executor of ScrMain as
// CreatePreview makes them, each with its own timer thread started by DefSaverProc. When the
// windows go, the run's end waits for every thread, and nothing of the run stays.
#include <gtest/gtest.h>

#include <map>

#include "core/library.h"
#include "resource_counts.h"
#include "run/saver_run.h"
#include "window/saver_windows.h"
#include "stress_support.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"

using namespace morvane;

namespace {

// The warm-up shows as many windows as the round: Wine keeps what it made for the most windows
// ever shown at once (their GDI surfaces) for reuse.
enum { SaverWindows = 100, WarmUpWindows = 100, TicksEach = 3, TickPeriodMs = 50 };

std::map<HWND, int> ticksOf;

LRESULT CALLBACK TickingSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SCRM_TIMER) {
    ++ticksOf[window];
    return TickPeriodMs;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

class SaverWindowsStress : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    ScrPrefs* prefs = ScrGetPrefs();
    ASSERT_NE(nullptr, prefs);
    prefs->noTimers = 0;
    prefs->debugTrace = 0;
    ScrSetPrefs(prefs);
    savedRun = saverRun;
    RegisterSaverClass(GetModuleHandleA(nullptr), plainSaverClass, TickingSaverProc, NULL_BRUSH);
  }

  void TearDown() override {
    saverRun = savedRun;
    UnregisterClassA(plainSaverClass, GetModuleHandleA(nullptr));
  }

  // One run as RunSaver frames it: the windows live in a host, as previews inside monitor
  // controls do, and go with it; then the run's end waits for their timer threads.
  void RunWithWindows(int count, StressFigures* figures = nullptr) {
    libraryState.saverRunning = true;
    saverRun.executors = plainExecutors;
    saverRun.instance = GetModuleHandleA(nullptr);
    OpenThreadRegistry();
    RaiseTimerResolution();
    ticksOf.clear();
    // Shown, since the previews of a hidden host would rightly never tick; off the screen, so that
    // nothing paints them.
    HWND host = CreateWindowExA(0, "Static", "host", WS_POPUP | WS_VISIBLE, -4000, -4000, 200, 150,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(host);
    for (int i = 0; i < count; ++i) {
      HWND window = saverRun.executors.makePreviewWindow(host, true);
      ASSERT_TRUE(window) << "window " << i;
      ticksOf[window] = 0;
    }
    bool ticking = PumpMessagesUntil(
        [count] {
          for (const auto& entry : ticksOf) {
            if (entry.second < TicksEach) return false;
          }
          return static_cast<int>(ticksOf.size()) == count;
        },
        20000);
    EXPECT_TRUE(ticking) << "not every window ticked " << TicksEach << " times";
    EXPECT_EQ(count, CountTimerThreads());
    if (figures) figures->during = CountResources();
    DestroyWindow(host);
    libraryState.saverRunning = false;
    EXPECT_TRUE(AwaitTimerThreads(TimerThreadWaitLimit));
    CloseThreadRegistry();
    RestoreTimerResolution();
  }

  SaverRun savedRun;
};

TEST_F(SaverWindowsStress, AHundredTickingWindowsInOneRunAreAllAwaitedAtItsEnd) {
  LONG recordsBefore = liveTimerRecords;
  ExpectNoLeak(
      "saver windows with timers in one run", [&] { RunWithWindows(WarmUpWindows); },
      [&](StressFigures* figures) {
        RunWithWindows(SaverWindows, figures);
        return SaverWindows;
      });
  EXPECT_EQ(recordsBefore, liveTimerRecords);
}

}  // namespace

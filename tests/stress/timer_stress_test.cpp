// Thousands of timer starts and stops on one saver window within one run, each ending in one of
// the ways a timer ends: stopped before its first tick, stopped between ticks, stopped while its
// thread waits out a delay, or ended by the saver's -1. At the run's end every thread has ended and
// freed its record, and the process holds what it held before. (ScrStartTimer returns once the new
// thread has its message queue, so the earliest stop there can be comes before its first tick.)
#include <gtest/gtest.h>

#include <cstdio>

#include "resource_counts.h"
#include "stress_support.h"
#include "test_saver.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"

using namespace morvane;

namespace {

enum { TimerCycles = 2400, WarmUpCycles = 40, TickLimitMs = 3000 };

enum class Ending { BeforeFirstTick, BetweenTicks, DuringAWait, SaverHadEnough, Count };

// The saver's answer for the cycle's ending: every tick at once, a wait the stop lands in, or -1.
LRESULT AnswerFor(Ending ending) {
  switch (ending) {
    case Ending::DuringAWait: return 40;
    case Ending::SaverHadEnough: return -1;
    default: return 1;
  }
}

class TimerStress : public ::testing::Test {
 protected:
  void SetUp() override {
    ScrPrefs* prefs = ScrGetPrefs();
    ASSERT_NE(nullptr, prefs);
    prefs->noTimers = 0;
    prefs->debugTrace = 0;
    ScrSetPrefs(prefs);
    script.answer = [this](HWND, int) { return AnswerFor(ending); };
    saver = CreateTestSaver(&script);
    ASSERT_TRUE(saver);
  }

  void TearDown() override { DestroyWindow(saver); }

  // A run as RunSaver frames it, with the cycles inside; figures, when given, take the counts
  // half-way.
  void RunCycles(int cycles, StressFigures* figures = nullptr) {
    LONG recordsBefore = liveTimerRecords;
    OpenThreadRegistry();
    RaiseTimerResolution();
    for (int i = 0; i < cycles && !HasFatalFailure(); ++i) {
      RunOneCycle(static_cast<Ending>(i % static_cast<int>(Ending::Count)));
      if (figures && i == cycles / 2) figures->during = CountResources();
    }
    // A thread stopped while it sent a tick ends once the window has answered: every thread
    // frees its record as it ends.
    EXPECT_TRUE(
        PumpMessagesUntil([&] { return liveTimerRecords == recordsBefore; }, TimerThreadWaitLimit))
        << liveTimerRecords - recordsBefore << " timer records left";
    EXPECT_TRUE(AwaitTimerThreads(TimerThreadWaitLimit));
    EXPECT_EQ(cycles, CountTimerThreads());
    CloseThreadRegistry();
    RestoreTimerResolution();
  }

  void RunOneCycle(Ending cycleEnding) {
    double start = StopwatchMs();
    ending = cycleEnding;
    int ticksBefore = script.count();
    ScrStartTimer(saver);
    ASSERT_NE(nullptr, LookUpTimerRecord(saver)) << "no timer started";
    switch (cycleEnding) {
      case Ending::BeforeFirstTick:
        // The window has not answered since the start, so no tick of this timer was handled.
        ScrStopTimer(saver);
        break;
      case Ending::BetweenTicks:
        ASSERT_TRUE(
            PumpMessagesUntil([&] { return script.count() >= ticksBefore + 2; }, TickLimitMs));
        ScrStopTimer(saver);
        break;
      case Ending::DuringAWait:
        ASSERT_TRUE(PumpMessagesUntil([&] { return script.count() > ticksBefore; }, TickLimitMs));
        ScrStopTimer(saver);
        break;
      case Ending::SaverHadEnough:
        ASSERT_TRUE(
            PumpMessagesUntil([&] { return LookUpTimerRecord(saver) == nullptr; }, TickLimitMs));
        break;
      case Ending::Count: break;
    }
    EXPECT_EQ(nullptr, LookUpTimerRecord(saver));
    spentMs[static_cast<int>(cycleEnding)] += StopwatchMs() - start;
  }

  TickScript script;
  double spentMs[static_cast<int>(Ending::Count)] = {};
  Ending ending = Ending::BeforeFirstTick;
  HWND saver = nullptr;
};

TEST_F(TimerStress, ThousandsOfStartsAndStopsOnOneWindowLeaveNothingBehind) {
  ExpectNoLeak(
      "timer start/stop on one window", [&] { RunCycles(WarmUpCycles); },
      [&](StressFigures* figures) {
        RunCycles(TimerCycles, figures);
        return TimerCycles;
      });
  std::printf(
      "[stress] timer start/stop: ms spent in cycles stopped before the first tick %.0f, "
      "between ticks %.0f, during a wait %.0f, ended by the saver %.0f; %d ticks handled\n",
      spentMs[0], spentMs[1], spentMs[2], spentMs[3], script.count());
}

}  // namespace

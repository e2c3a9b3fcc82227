// The ticks a saver gets: what its answers to SCRM_TIMER do, how the period is kept when the
// saver takes time to draw, and how SCRM_SETTINGSCHANGED cuts a wait short. Timing bounds are
// loose; the figures themselves come from framework_timer_bench.
#include "power/power_state.h"
#include "timer/tick_gates.h"
#include "timer_test_fixture.h"

using namespace morvane;

namespace {

LRESULT Answer(LRESULT value) {
  return value;
}

std::function<LRESULT(HWND, int)> RepeatThenEnd(LRESULT answer, int ticks) {
  return [answer, ticks](HWND, int index) { return index + 1 < ticks ? answer : Answer(-1); };
}

using TimerAnswers = TimerTest;

TEST_F(TimerAnswers, MinusOneGivesOneTickThenTheThreadEndsAndFreesItsRecord) {
  TickScript script;
  script.answer = RepeatThenEnd(0, 1);
  HWND saver = Saver(&script);
  ASSERT_TRUE(HasTimerSlot(saver));
  // Started the way DefSaverProc starts it: by the request it posts at WM_CREATE. The thread frees
  // its record as it ends.
  PostMessageA(saver, SCRM_INTERNAL, SCRINTERNAL_STARTTIMER, 0);
  ASSERT_TRUE(
      PumpUntil([&] { return script.count() == 1 && liveTimerRecords == recordsBefore; }, 3000));
  EXPECT_EQ(1, CountTimerThreads());
  EXPECT_EQ(nullptr, LookUpTimerRecord(saver));
  EXPECT_TRUE(HasTimerSlot(saver));
  EXPECT_TRUE(AwaitTimerThreads(3000));
  EXPECT_EQ(1, script.count());
}

TEST_F(TimerAnswers, ZeroAndMinusTwoTickAgainWithoutWaiting) {
  for (LRESULT answer : {LRESULT(0), LRESULT(-2)}) {
    SCOPED_TRACE(answer);
    TickScript script;
    // Answered with a long wait in between, 100 ticks would take 100 periods of the clock.
    script.answer = RepeatThenEnd(answer, 100);
    HWND saver = Saver(&script);
    ScrStartTimer(saver);
    HANDLE thread = ThreadOf(saver);
    ASSERT_TRUE(PumpUntilEnded(thread, 5000));
    ASSERT_EQ(100, script.count());
    EXPECT_LT(script.startMs.back() - script.startMs.front(), 1000.0);
  }
}

TEST_F(TimerAnswers, APeriodSpacesTheStartsOfTicksByThatPeriod) {
  TickScript script;
  script.answer = RepeatThenEnd(20, 30);
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  ASSERT_TRUE(PumpUntilEnded(ThreadOf(saver), 5000));
  double median = Quantile(TickIntervals(script), 0.5);
  EXPECT_GE(median, 19.0);
  EXPECT_LE(median, 26.0);
}

// A full-screen window's tick gives way to messages waiting on its thread (input first), except the
// first: a new window always has some waiting.
TEST_F(TimerAnswers, TheFirstTickComesAtOnceWhileAMessageWaitsTheNextGivesWayToIt) {
  TickScript script;
  script.answer = RepeatThenEnd(0, 2);
  HWND saver = Saver(&script);
  PostMessageA(saver, WM_NULL, 0, 0);  // left queued: only sent messages are handled below
  double started = NowMs();
  ScrStartTimer(saver);
  ASSERT_TRUE(HandleSentUntil([&] { return script.count() == 2; }, 5000));
  double first = script.startMs[0] - started;
  double second = script.startMs[1] - script.endMs[0];
  // The second gave way to the waiting message as often as it may, 2 ms each time.
  EXPECT_GE(second, 40.0);
  EXPECT_LT(first, second / 2) << "the first tick gave way too";
}

using TimerPacingUnderWork = TimerTest;

// 8 ms of drawing within a 20 ms period: the next tick is due 20 ms after the start of this one,
// not 20 ms after its end (28 ms apart). On Windows a clock with 16 ms steps would read the drawing
// as 0 or 16 ms and space the ticks by about 28 or 12 ms; NOTE: Wine refreshes GetTickCount at
// every server call, and a tick is one, so under Wine both clocks pass here.
TEST_F(TimerPacingUnderWork, DrawingTimeIsDeductedFromTheWaitToTheMillisecond) {
  TickScript script;
  script.handlingMs = 8;
  script.answer = RepeatThenEnd(20, 40);
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  ASSERT_TRUE(PumpUntilEnded(ThreadOf(saver), 5000));
  double median = Quantile(TickIntervals(script), 0.5);
  EXPECT_GE(median, 18.5);
  EXPECT_LE(median, 25.0);
}

TEST_F(TimerPacingUnderWork, AHandlerSlowerThanItsPeriodIsTickedAgainAfterOnlyAYield) {
  TickScript script;
  script.handlingMs = 30;
  script.answer = RepeatThenEnd(20, 20);
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  ASSERT_TRUE(PumpUntilEnded(ThreadOf(saver), 5000));
  std::vector<double> gaps;
  for (int i = 1; i < script.count(); ++i) gaps.push_back(script.startMs[i] - script.endMs[i - 1]);
  EXPECT_LT(Quantile(gaps, 0.5), 5.0);
}

using TimerWake = TimerTest;

TEST_F(TimerWake, SettingsChangedCutsALongWaitShort) {
  TickScript script;
  script.answer = RepeatThenEnd(5000, 2);
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  HANDLE thread = ThreadOf(saver);
  ASSERT_TRUE(PumpUntil([&] { return script.count() == 1; }, 2000));
  // Well inside the 5 s wait.
  double sent = NowMs();
  EXPECT_EQ(1, SendMessageA(saver, SCRM_SETTINGSCHANGED, 1, 0));
  ASSERT_TRUE(PumpUntil([&] { return script.count() == 2; }, 3000));
  EXPECT_LT(script.startMs[1] - sent, 1000.0);
  EXPECT_TRUE(PumpUntilEnded(thread, 2000));
}

TEST_F(TimerWake, AWakeWhileTheSaverDrawsEndsTheNextWaitAtOnce) {
  TickScript script;
  script.answer = [](HWND window, int index) {
    if (index == 0) SendMessageA(window, SCRM_SETTINGSCHANGED, 1, 0);
    return index == 0 ? Answer(5000) : Answer(-1);
  };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  ASSERT_TRUE(PumpUntilEnded(ThreadOf(saver), 4000));
  ASSERT_EQ(2, script.count());
  EXPECT_LT(script.startMs[1] - script.endMs[0], 1000.0);
}

}  // namespace

namespace {

// The monitors' rates as a test gives them: every monitor at displayHz.
uint32_t displayHz = 60;
uint32_t TestMillihertz(HMONITOR) {
  return RefreshMillihertz(displayHz);
}

class TimerDisplayTicks : public TimerTest {
 protected:
  void TearDown() override {
    TimerTest::TearDown();
    displayRefreshSteps = platformDisplayRefreshSteps;
    powerState.onBattery = false;
    powerState.batteryPeriodMs = batteryPeriodBefore;
    ApplyTickGates();
  }
  LONG batteryPeriodBefore = powerState.batteryPeriodMs;
};

// The median interval of a display-paced saver's ticks while the monitor reports hz.
double MedianDisplayInterval(TickScript& script, uint32_t hz, int ticks) {
  displayHz = hz;
  script.answer = RepeatThenEnd(SCR_TICK_DISPLAY, ticks);
  HWND saver = CreateTestSaver(&script);
  ScrStartTimer(saver);
  TimerRecord* record = LookUpTimerRecord(saver);
  EXPECT_TRUE(record && PumpUntilEnded(record->threadHandle, 10000));
  DestroyWindow(saver);
  return Quantile(TickIntervals(script), 0.5);
}

TEST_F(TimerDisplayTicks, TicksComeAtTheMonitorsRateWithUnknownRatesAsSixtyHertz) {
  displayRefreshSteps.millihertz = TestMillihertz;
  const struct {
    uint32_t hz;
    double periodMs;
  } cases[] = {{60, 16.67}, {30, 33.33}, {0, 16.67}, {1, 16.67}, {100, 10.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hz);
    TickScript script;
    double median = MedianDisplayInterval(script, c.hz, 20);
    EXPECT_GE(median, c.periodMs - 2.5);
    EXPECT_LE(median, c.periodMs + 3.0);
  }
}

TEST_F(TimerDisplayTicks, ADisplayChangeReadsTheRateAgainAndTheFiguresReportIt) {
  displayRefreshSteps.millihertz = TestMillihertz;
  displayHz = 50;
  TickScript script;
  ScrFrameFigures figures = {};
  figures.size = sizeof figures;
  script.answer = [&](HWND window, int index) -> LRESULT {
    if (index == 10) {
      ScrGetFrameFigures(window, &figures);
      displayHz = 25;
      // As DefSaverProc does at WM_DISPLAYCHANGE.
      NoteDisplayChange();
    }
    return index < 20 ? SCR_TICK_DISPLAY : -1;
  };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  ASSERT_TRUE(PumpUntilEnded(ThreadOf(saver), 10000));
  EXPECT_DOUBLE_EQ(20.0, figures.targetIntervalMs);
  std::vector<double> intervals = TickIntervals(script);
  std::vector<double> before(intervals.begin() + 2, intervals.begin() + 9);
  std::vector<double> after(intervals.begin() + 12, intervals.end() - 1);
  EXPECT_NEAR(20.0, Quantile(before, 0.5), 3.0);
  EXPECT_NEAR(40.0, Quantile(after, 0.5), 4.0);
}

TEST_F(TimerDisplayTicks, OnBatteryALongerMinimumPeriodWins) {
  displayRefreshSteps.millihertz = TestMillihertz;
  powerState.onBattery = true;
  powerState.batteryPeriodMs = 45;
  TickScript script;
  double median = MedianDisplayInterval(script, 60, 12);
  EXPECT_GE(median, 43.0);
  EXPECT_LE(median, 50.0);
}

}  // namespace

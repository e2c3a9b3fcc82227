#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>

#include "timer/align_schedule.h"
#include "timer/display_pace.h"

using morvane::AlignSchedule;
using morvane::DisplayPace;
using morvane::RefreshMillihertz;

namespace {

// Ticks that take no time: each one ends at the deadline it was given.
uint64_t RunTicks(DisplayPace& pace, uint64_t start, int ticks) {
  uint64_t now = start;
  for (int i = 0; i < ticks; ++i) now = pace.NextDeadline(now);
  return now;
}

TEST(DisplayPace, WholeAndFractionalRatesGiveTheirTicksPerSecondWithoutDrift) {
  const struct {
    uint32_t millihertz;
    int ticks;
    uint64_t elapsedUs;
  } cases[] = {
      {60000, 60, 1000000},     {60000, 36000, 600000000}, {59940, 5994, 100000000},
      {144000, 1440, 10000000}, {75000, 75, 1000000},
  };
  for (const auto& c : cases) {
    DisplayPace pace;
    pace.SetRate(c.millihertz, 5000);
    EXPECT_EQ(5000 + c.elapsedUs, RunTicks(pace, 5000, c.ticks)) << c.millihertz;
  }
}

TEST(DisplayPace, ExactRatesComeFromTheirFractionRoundedToTheMillihertz) {
  EXPECT_EQ(59940u, morvane::RationalMillihertz(60000, 1001));
  EXPECT_EQ(144000u, morvane::RationalMillihertz(144, 1));
  EXPECT_EQ(74973u, morvane::RationalMillihertz(74973, 1000));
  EXPECT_EQ(1000000u, morvane::RationalMillihertz(0xFFFFFFFFu, 1));
  EXPECT_EQ(0u, morvane::RationalMillihertz(60, 0));
  EXPECT_EQ(0u, morvane::RationalMillihertz(0, 1));
  EXPECT_EQ(0u, morvane::RationalMillihertz(1, 0xFFFFFFFFu));
}

TEST(DisplayPace, UnknownAndAbsurdRatesCountAsSixtyHertzOrTheCeiling) {
  EXPECT_EQ(60000u, RefreshMillihertz(0));
  EXPECT_EQ(60000u, RefreshMillihertz(1));
  EXPECT_EQ(59000u, RefreshMillihertz(59));
  EXPECT_EQ(1000000u, RefreshMillihertz(5000));
  EXPECT_EQ(1000000u, RefreshMillihertz(0xFFFFFFFFu));
  for (uint32_t bad : {0u, DisplayPace::MaxMillihertz + 1}) {
    DisplayPace pace;
    pace.SetRate(bad, 0);
    EXPECT_EQ(60000u, pace.Millihertz());
    EXPECT_EQ(1000000u, RunTicks(pace, 0, 60));
  }
}

TEST(DisplayPace, ARateChangeTakesEffectFromTheLastRefreshHandedOut) {
  DisplayPace pace;
  pace.SetRate(60000, 0);
  uint64_t last = RunTicks(pace, 0, 30);
  EXPECT_EQ(500000u, last);
  // The window moved to a 120 Hz monitor halfway through a frame.
  pace.SetRate(120000, last + 3000);
  uint64_t first = pace.NextDeadline(last + 3000);
  EXPECT_EQ(last + 8333, first);
  EXPECT_EQ(last + 1000000, RunTicks(pace, first, 119));
}

TEST(DisplayPace, ALateTickSkipsTheRefreshesItMissedAndAnEarlyOneNeverRepeatsOne) {
  DisplayPace pace;
  pace.SetRate(60000, 0);
  EXPECT_EQ(16666u, pace.NextDeadline(0));
  // The frame took one and a half periods: the next tick waits for the refresh after it ends.
  EXPECT_EQ(50000u, pace.NextDeadline(16666 + 25000));
  // Ended just on a refresh: that one has gone, the next counts.
  EXPECT_EQ(66666u, pace.NextDeadline(50000));
  // Woken a little early, before its refresh: still one refresh per tick.
  EXPECT_EQ(83333u, pace.NextDeadline(66000));
  EXPECT_EQ(100000u, pace.NextDeadline(66001));
}

TEST(DisplayPace, LongPausesAndLongRunsStartAFreshGridThatKeepsTheRate) {
  DisplayPace pace;
  pace.SetRate(60000, 0);
  RunTicks(pace, 0, 10);
  // Paused for an hour: ticking resumes one period after it ends.
  uint64_t resumed = 3600ull * 1000000 + 123;
  EXPECT_EQ(resumed + 16666, pace.NextDeadline(resumed));
  // Beyond a million refreshes in a row the rate holds to within a microsecond a second.
  uint64_t start = pace.NextDeadline(resumed + 16666);
  uint64_t end = RunTicks(pace, start, 1200000);
  EXPECT_NEAR(20000.0 * 1000000, static_cast<double>(end - start), 20000.0);
}

TEST(DisplayPace, AnObservedVerticalBlankSetsThePhaseAndIsTickedAtOnceUnlessAlreadyHandedOut) {
  DisplayPace pace;
  pace.SetRate(60000, 0);
  EXPECT_EQ(16666u, pace.NextDeadline(0));
  // The wait returned at the refresh after the one handed out: that one is due now.
  pace.AlignTo(36000);
  EXPECT_EQ(36000u, pace.NextDeadline(36100));
  EXPECT_EQ(52666u, pace.NextDeadline(37000));
  // The tick ended before its refresh, and the wait returned at that very refresh.
  pace.AlignTo(52700);
  EXPECT_EQ(69366u, pace.NextDeadline(52800));
}

// A minute of a display-paced saver against a simulated monitor. Each tick wakes a little after
// its deadline, draws for 30% of a period and presents its frame at the first refresh after; the
// monitor shows a new frame at each of its refreshes only when every refresh gets exactly one.
// Every run has the display off for five seconds (the monitor comes back at another phase, which
// only the vertical-blank wait can find) and changes its mode at 40 s.
struct Monitor {
  double startUs, periodUs;
  int64_t RefreshAtOrAfter(double us) const {
    return static_cast<int64_t>(std::ceil((us - startUs) / periodUs));
  }
  double RefreshTime(int64_t n) const { return startUs + n * periodUs; }
};

struct Presented {
  std::map<int64_t, int> frames;  // per refresh of the current mode, frames first shown there
  int missed = 0, doubled = 0;
  void Close() {
    if (frames.empty()) return;
    for (int64_t n = frames.begin()->first; n <= frames.rbegin()->first; ++n) {
      int count = frames.count(n) ? frames[n] : 0;
      missed += count == 0;
      doubled += count > 1;
    }
    frames.clear();
  }
};

struct SimulatedRun {
  uint32_t numerator, denominator, nextNumerator, nextDenominator;
  bool aligns;
};

Presented SimulateMinute(const SimulatedRun& run) {
  const double offStartUs = 20e6, offEndUs = 25e6, changeUs = 40e6, latencyUs = 30;
  Monitor monitor = {1234.5, 1e6 * run.denominator / run.numerator};
  DisplayPace pace;
  AlignSchedule schedule;
  Presented presented;
  double now = monitor.startUs + latencyUs;
  pace.SetRate(morvane::RationalMillihertz(run.numerator, run.denominator),
               static_cast<uint64_t>(now));
  bool wasOff = false, changed = false;
  for (uint32_t tick = 0; now < 60e6; ++tick) {
    if (!changed && now >= changeUs) {
      changed = true;
      presented.Close();
      monitor = {now - latencyUs, 1e6 * run.nextDenominator / run.nextNumerator};
      pace.SetRate(morvane::RationalMillihertz(run.nextNumerator, run.nextDenominator),
                   static_cast<uint64_t>(now));
      schedule.Restart();
    }
    double draw = monitor.periodUs * 0.3;
    ++presented.frames[monitor.RefreshAtOrAfter(now + draw)];
    now += draw;
    if (run.aligns && schedule.Due(static_cast<uint64_t>(now))) {
      if (now >= offStartUs && !wasOff) {
        // The display went off during this frame: the wait fails and the ticks pause.
        schedule.Failed(static_cast<uint64_t>(now));
        wasOff = true;
        presented.Close();
        monitor.startUs += monitor.periodUs * 0.4 + (offEndUs - now);
        now = offEndUs;
        schedule.Restart();
        continue;
      }
      now = monitor.RefreshTime(monitor.RefreshAtOrAfter(now)) + latencyUs;
      pace.AlignTo(static_cast<uint64_t>(now));
      schedule.Aligned(static_cast<uint64_t>(now));
    } else if (!run.aligns && now >= offStartUs && !wasOff) {
      wasOff = true;
      presented.Close();
      now = offEndUs;
      continue;
    }
    double due = static_cast<double>(pace.NextDeadline(static_cast<uint64_t>(now)));
    double jitter = (tick * 7919 % 1000) * std::fmin(1.0, monitor.periodUs / 5000);
    now = std::fmax(due, now) + jitter;
  }
  presented.Close();
  return presented;
}

TEST(DisplayPace, AMinuteAtCommonRatesShowsANewFrameAtEveryRefreshAndNoneTwice) {
  const SimulatedRun runs[] = {
      {60, 1, 75, 1, true},        {60, 1, 75, 1, false},  {60000, 1001, 60, 1, true},
      {60000, 1001, 60, 1, false}, {144, 1, 60, 1, true},  {144, 1, 60, 1, false},
      {75, 1, 144, 1, true},       {75, 1, 144, 1, false},
  };
  for (const auto& run : runs) {
    Presented presented = SimulateMinute(run);
    EXPECT_EQ(0, presented.missed) << run.numerator << "/" << run.denominator << " Hz, "
                                   << (run.aligns ? "aligned" : "not aligned");
    EXPECT_EQ(0, presented.doubled) << run.numerator << "/" << run.denominator << " Hz, "
                                    << (run.aligns ? "aligned" : "not aligned");
  }
}

}  // namespace

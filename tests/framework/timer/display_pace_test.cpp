#include <gtest/gtest.h>

#include <cstdint>

#include "timer/display_pace.h"

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

TEST(DisplayPace, AnObservedVerticalBlankSetsThePhase) {
  DisplayPace pace;
  pace.SetRate(60000, 0);
  pace.NextDeadline(0);
  pace.AlignTo(20000);
  EXPECT_EQ(36666u, pace.NextDeadline(20500));
  EXPECT_EQ(53333u, pace.NextDeadline(36700));
}

}  // namespace

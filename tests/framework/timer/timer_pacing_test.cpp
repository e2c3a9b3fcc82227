// The pacing of timer ticks on the wrapping 32-bit millisecond clock, where a tick counts as
// started, and the timer thread's priority.
#include "timer/timer_pacing.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace morvane;

namespace {

const uint32_t kEnd = 0xFFFFFFFFu;
const uint32_t kMinusTwo = 0xFFFFFFFEu;

struct PaceCase {
  const char* what;
  uint32_t answer, t0, t1;
  TickPace pace;
  uint32_t waitMs;
};

TEST(TimerPacing, AnswersAndDeadlinesIncludingTheClockWrap) {
  const PaceCase cases[] = {
      {"0 ticks at once", 0, 1000, 1200, TickPace::AtOnce, 0},
      {"-1 ends", kEnd, 1000, 1000, TickPace::End, 0},
      {"-1 ends across the wrap", kEnd, 0xFFFFFFF0u, 0x10, TickPace::End, 0},
      {"-2 yields", kMinusTwo, 1000, 1000, TickPace::Yield, 0},
      {"-2 yields at clock 0", kMinusTwo, 0, 0, TickPace::Yield, 0},
      {"-2 yields across the wrap", kMinusTwo, 0xFFFFFFFFu, 0x5, TickPace::Yield, 0},
      {"handling time is deducted", 50, 1000, 1030, TickPace::Wait, 20},
      {"an instant handler waits the period", 50, 1000, 1000, TickPace::Wait, 50},
      {"deadline reached exactly", 50, 1000, 1050, TickPace::Yield, 0},
      {"deadline overrun", 50, 1000, 1070, TickPace::Yield, 0},
      {"waiting across the wrap", 50, 0xFFFFFFF0u, 0x10, TickPace::Wait, 18},
      {"deadline past the wrap, tick before it", 50, 0xFFFFFFF0u, 0xFFFFFFFFu, TickPace::Wait, 35},
      // The deadline lies before the wrap and the tick returned after it: an unsigned comparison
      // would wait almost 2^32 ms here.
      {"overrun across the wrap", 20, 0xFFFFFFE0u, 0x10, TickPace::Yield, 0},
      {"longest positive period", 0x7FFFFFFFu, 5, 5, TickPace::Wait, 0x7FFFFFFFu},
      {"from 2^31 up a delay is negative", 0x80000000u, 5, 5, TickPace::Yield, 0},
  };
  for (const PaceCase& c : cases) {
    SCOPED_TRACE(c.what);
    NextTick next = PaceNextTick(c.answer, c.t0, c.t1);
    EXPECT_EQ(static_cast<int>(c.pace), static_cast<int>(next.pace));
    EXPECT_EQ(c.waitMs, next.waitMs);
  }
}

TEST(TimerPacing, EveryStartingPointAroundTheWrapGivesTheSameRemainingWait) {
  // A 40 ms period with 15 ms of handling leaves 25 ms wherever the clock stands.
  for (uint32_t t0 = 0xFFFFFF00u; t0 != 0x100u; ++t0) {
    NextTick next = PaceNextTick(40, t0, t0 + 15);
    ASSERT_EQ(static_cast<int>(TickPace::Wait), static_cast<int>(next.pace)) << t0;
    ASSERT_EQ(25u, next.waitMs) << t0;
    ASSERT_EQ(static_cast<int>(TickPace::Yield),
              static_cast<int>(PaceNextTick(40, t0, t0 + 41).pace))
        << t0;
  }
}

TEST(TimerPacing, ATickThatWasWaitedForCountsFromItsDeadlineWhenItCameOnTime) {
  const struct {
    const char* what;
    bool waitedFor;
    uint32_t due, now, start;
  } cases[] = {
      {"on time", true, 5000, 5000, 5000},
      {"within the slack", true, 5000, 5000 + onTimeSlackMs, 5000},
      {"later than the slack", true, 5000, 5001 + onTimeSlackMs, 5001 + onTimeSlackMs},
      {"woken before the deadline", true, 5000, 4990, 4990},
      {"one ms early", true, 5000, 4999, 4999},
      {"no wait before it", false, 5000, 5001, 5001},
      {"deadline just before the wrap", true, 0xFFFFFFFFu, 1, 0xFFFFFFFFu},
      {"early across the wrap", true, 2, 0xFFFFFFFEu, 0xFFFFFFFEu},
  };
  for (const auto& c : cases) EXPECT_EQ(c.start, TickStart(c.waitedFor, c.due, c.now)) << c.what;
}

TEST(TimerPacing, TheThreadRunsOneLevelBelowItsStarterWithinTheUsableLevels) {
  const struct {
    int starter, timer;
  } cases[] = {{0, -1}, {2, 1}, {1, 0}, {-1, -2}, {-2, -2}, {-15, -15}, {15, 2}};
  for (const auto& c : cases) EXPECT_EQ(c.timer, PriorityBelow(c.starter)) << c.starter;
}

}  // namespace

TEST(TimerPacing, OnBatteryAnswersAreRaisedToTheMinimumPeriodButTheEndStays) {
  EXPECT_EQ(33u, AtLeastPeriod(0, 33));
  EXPECT_EQ(33u, AtLeastPeriod(1, 33));
  EXPECT_EQ(33u, AtLeastPeriod(33, 33));
  EXPECT_EQ(34u, AtLeastPeriod(34, 33));
  EXPECT_EQ(33u, AtLeastPeriod(kMinusTwo, 33));
  EXPECT_EQ(33u, AtLeastPeriod(0x80000000u, 33));
  EXPECT_EQ(kEnd, AtLeastPeriod(kEnd, 33));
  EXPECT_EQ(0x7FFFFFFFu, AtLeastPeriod(0x7FFFFFFFu, 33));
  // No minimum: every answer as it was.
  EXPECT_EQ(0u, AtLeastPeriod(0, 0));
  EXPECT_EQ(kMinusTwo, AtLeastPeriod(kMinusTwo, 0));
}

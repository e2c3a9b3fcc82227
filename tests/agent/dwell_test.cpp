#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "dwell.h"

using namespace corners;

namespace {

const uint8_t topLeftNow[4] = {CodeNow, CodeDefault, CodeDefault, CodeDefault};
const uint8_t topLeftNever[4] = {CodeNever, CodeDefault, CodeDefault, CodeDefault};

// Feeds samples every 100 ms from start, as the agent's timer does, in corner for duration ms;
// returns the OR of all actions.
unsigned Rest(DwellMachine& machine, uint32_t& now, int corner, uint32_t duration,
              const uint8_t codes[4], bool fullScreen = false) {
  unsigned actions = 0;
  for (uint32_t t = 0; t <= duration; t += 100, now += 100) {
    actions |= machine.Step({now, corner, fullScreen}, codes);
  }
  return actions;
}

TEST(Dwell, ANowCornerStartsTheSaverOnceAfterRestingAndAgainOnlyAfterLeaving) {
  DwellMachine machine;
  uint32_t now = 1000;
  EXPECT_EQ(0u, machine.Step({now, 0, false}, topLeftNow));
  EXPECT_EQ(0u, machine.Step({now + 299, 0, false}, topLeftNow));
  EXPECT_EQ(unsigned{ActionStartSaver}, machine.Step({now + 300, 0, false}, topLeftNow));
  now += 400;
  EXPECT_EQ(0u, Rest(machine, now, 0, 5000, topLeftNow)) << "resting on starts nothing more";
  EXPECT_EQ(0u, Rest(machine, now, -1, 200, topLeftNow));
  EXPECT_EQ(unsigned{ActionStartSaver}, Rest(machine, now, 0, 400, topLeftNow));
}

TEST(Dwell, AStayIsSettledOnceItHasHadItsEffectUntilThePointerLeaves) {
  DwellMachine machine;
  uint32_t now = 0;
  EXPECT_FALSE(machine.Settled());
  Rest(machine, now, 0, 200, topLeftNow);
  EXPECT_FALSE(machine.Settled()) << "still measuring the rest";
  Rest(machine, now, 0, 200, topLeftNow);
  EXPECT_TRUE(machine.Settled());
  Rest(machine, now, -1, 100, topLeftNow);
  EXPECT_FALSE(machine.Settled());
  Rest(machine, now, 0, 400, topLeftNever);
  EXPECT_TRUE(machine.Settled()) << "held";
  Rest(machine, now, 1, 100, topLeftNever);
  EXPECT_TRUE(machine.Settled()) << "a default corner has nothing to measure";
}

TEST(Dwell, PassingThroughACornerOrAnotherCornerStartsNothing) {
  DwellMachine machine;
  uint32_t now = 0;
  for (int pass = 0; pass < 5; ++pass) {
    EXPECT_EQ(0u, Rest(machine, now, 0, 200, topLeftNow));
    EXPECT_EQ(0u, Rest(machine, now, -1, 100, topLeftNow));
  }
  // Jumping between corners starts the rest anew each time.
  EXPECT_EQ(0u, Rest(machine, now, 1, 200, topLeftNow));
  EXPECT_EQ(0u, Rest(machine, now, 0, 200, topLeftNow));
  EXPECT_EQ(0u, Rest(machine, now, 1, 200, topLeftNow));
  EXPECT_EQ(0u, Rest(machine, now, 2, 2000, topLeftNow)) << "a default corner does nothing";
}

TEST(Dwell, ANeverCornerHoldsOffWhileRestedAndReleasesOnLeaving) {
  DwellMachine machine;
  uint32_t now = 0;
  EXPECT_EQ(unsigned{ActionTakeHoldOff}, Rest(machine, now, 0, 400, topLeftNever));
  EXPECT_TRUE(machine.HoldTaken());
  EXPECT_EQ(0u, Rest(machine, now, 0, 3000, topLeftNever)) << "taken once";
  EXPECT_EQ(unsigned{ActionReleaseHoldOff}, machine.Step({now, -1, false}, topLeftNever));
  EXPECT_FALSE(machine.HoldTaken());
  EXPECT_EQ(0u, Rest(machine, now, -1, 1000, topLeftNever)) << "never held otherwise";
  EXPECT_EQ(0u, Rest(machine, now, 0, 200, topLeftNever)) << "passing through";
  // Moving straight into another corner releases it too.
  Rest(machine, now, 0, 400, topLeftNever);
  EXPECT_EQ(unsigned{ActionReleaseHoldOff}, machine.Step({now, 2, false}, topLeftNever));
  // The corner's code changing while the pointer rests there releases it.
  Rest(machine, now, 0, 400, topLeftNever);
  ASSERT_TRUE(machine.HoldTaken());
  EXPECT_EQ(unsigned{ActionReleaseHoldOff},
            machine.Step({now, 0, false}, topLeftNow) & ActionReleaseHoldOff);
  // And quitting gives it back.
  DwellMachine other;
  now = 0;
  Rest(other, now, 0, 400, topLeftNever);
  EXPECT_EQ(unsigned{ActionReleaseHoldOff}, other.Release());
  EXPECT_EQ(0u, other.Release());
}

TEST(Dwell, AFullScreenProgramInFrontKeepsTheCornersIdleForThatStay) {
  DwellMachine machine;
  uint32_t now = 0;
  EXPECT_EQ(unsigned{ActionFullScreenIdle}, Rest(machine, now, 0, 2000, topLeftNow, true));
  EXPECT_EQ(0u, Rest(machine, now, 0, 1000, topLeftNow, false)) << "not later on the same stay";
  Rest(machine, now, -1, 100, topLeftNow);
  EXPECT_EQ(unsigned{ActionStartSaver}, Rest(machine, now, 0, 400, topLeftNow));
  Rest(machine, now, -1, 100, topLeftNever);
  EXPECT_EQ(unsigned{ActionFullScreenIdle}, Rest(machine, now, 0, 400, topLeftNever, true));
  EXPECT_FALSE(machine.HoldTaken());
  // A full-screen program coming in front while held gives the hold-off back.
  Rest(machine, now, -1, 100, topLeftNever);
  Rest(machine, now, 0, 400, topLeftNever);
  ASSERT_TRUE(machine.HoldTaken());
  EXPECT_EQ(unsigned{ActionReleaseHoldOff | ActionFullScreenIdle},
            machine.Step({now, 0, true}, topLeftNever));
}

TEST(Dwell, PauseStopsTriggeringUntilItEndsOrIsResumed) {
  DwellMachine machine;
  uint32_t now = 5000;
  machine.PauseUntilResumed();
  EXPECT_TRUE(machine.Paused(now + 100000000));
  EXPECT_EQ(0u, machine.PauseLeft(now));
  EXPECT_EQ(unsigned{ActionPausedIdle}, Rest(machine, now, 0, 1000, topLeftNow));
  Rest(machine, now, -1, 100, topLeftNow);
  machine.Resume();
  EXPECT_FALSE(machine.Paused(now));
  machine.PauseFor(now, 5);
  machine.Resume();
  EXPECT_EQ(0u, machine.PauseLeft(now));
  EXPECT_EQ(unsigned{ActionStartSaver}, Rest(machine, now, 0, 400, topLeftNow));

  // For a while: over at its end, across the clock's wrap.
  now = 0xFFFFFFFFu - 30000;
  machine.PauseFor(now, 1);
  EXPECT_TRUE(machine.Paused(now + 59999));
  EXPECT_FALSE(machine.Paused(now + 60000));
  // What is left, for the icon to change when the pause ends: 0 once over, and after a resume.
  for (auto [after, left] : {std::pair<uint32_t, uint32_t>{0, 60000},
                             {40000, 20000},
                             {59999, 1},
                             {60000, 0},
                             {90000, 0}}) {
    EXPECT_EQ(left, machine.PauseLeft(now + after)) << after;
  }
  Rest(machine, now, -1, 100, topLeftNow);
  EXPECT_EQ(unsigned{ActionPausedIdle}, Rest(machine, now, 0, 400, topLeftNow));
  Rest(machine, now, -1, 100, topLeftNow);
  now += 60000;
  EXPECT_EQ(unsigned{ActionStartSaver}, Rest(machine, now, 0, 400, topLeftNow));

  // A pause while held gives the hold-off back at the next sample.
  Rest(machine, now, -1, 100, topLeftNever);
  Rest(machine, now, 0, 400, topLeftNever);
  ASSERT_TRUE(machine.HoldTaken());
  machine.PauseFor(now, 60);
  EXPECT_EQ(unsigned{ActionReleaseHoldOff | ActionPausedIdle},
            machine.Step({now, 0, false}, topLeftNever));
}

TEST(Dwell, CodesAndCornersOutOfRangeCountAsDefaultOrNoCorner) {
  DwellMachine machine;
  uint32_t now = 0;
  const uint8_t junk[4] = {3, 0xFF, 'Y', 'N'};
  for (int corner = 0; corner < 4; ++corner) {
    EXPECT_EQ(0u, Rest(machine, now, corner, 1000, junk)) << corner;
  }
  EXPECT_EQ(0u, Rest(machine, now, 4, 1000, topLeftNow));
  EXPECT_EQ(0u, Rest(machine, now, -7, 1000, topLeftNow));
  EXPECT_EQ(0u, Rest(machine, now, 1000000, 1000, topLeftNow));
}

TEST(Dwell, TheRestIsMeasuredAcrossTheClocksWrap) {
  DwellMachine machine;
  uint32_t start = 0xFFFFFF00u;
  EXPECT_EQ(0u, machine.Step({start, 0, false}, topLeftNow));
  EXPECT_EQ(0u, machine.Step({start + 200, 0, false}, topLeftNow));
  EXPECT_EQ(unsigned{ActionStartSaver}, machine.Step({start + 300, 0, false}, topLeftNow));
}

}  // namespace

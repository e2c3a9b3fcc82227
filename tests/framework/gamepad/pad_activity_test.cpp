// When a pad counts as the user's input, and the agent's pacing of idle-time resets.
#include "gamepad/pad_activity.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

PadReading Resting() {
  PadReading reading;
  reading.connected = true;
  return reading;
}

PadReading With(void (*change)(PadReading*)) {
  PadReading reading = Resting();
  change(&reading);
  return reading;
}

struct PadCase {
  const char* name;
  PadReading before;
  PadReading now;
  bool activity;
};

TEST(PadActivity, ButtonsAndAxesBeyondTheirDeadZonesCountNoiseWithinThemDoesNot) {
  const PadCase cases[] = {
      {"nothing changed", Resting(), Resting(), false},
      {"button A pressed", Resting(), With([](PadReading* r) { r->buttons = 0x1000; }), true},
      {"button held on", With([](PadReading* r) { r->buttons = 0x1000; }),
       With([](PadReading* r) { r->buttons = 0x1000; }), false},
      {"button released", With([](PadReading* r) { r->buttons = 0x1000; }), Resting(), false},
      {"a second button while one is held", With([](PadReading* r) { r->buttons = 0x1000; }),
       With([](PadReading* r) { r->buttons = 0x1010; }), true},
      {"left stick at its dead zone", Resting(), With([](PadReading* r) { r->thumbLX = 7849; }),
       false},
      {"left stick just beyond it", Resting(), With([](PadReading* r) { r->thumbLX = 7850; }),
       true},
      {"left stick diagonal beyond it", Resting(),
       With([](PadReading* r) { r->thumbLX = r->thumbLY = 5600; }), true},
      {"left stick diagonal within it", Resting(),
       With([](PadReading* r) { r->thumbLX = r->thumbLY = 5500; }), false},
      {"left stick full negative", Resting(), With([](PadReading* r) { r->thumbLY = -32768; }),
       true},
      {"right stick within its larger dead zone", Resting(),
       With([](PadReading* r) { r->thumbRY = -8689; }), false},
      {"right stick beyond it", Resting(), With([](PadReading* r) { r->thumbRX = 8690; }), true},
      {"stick held still beyond the dead zone", With([](PadReading* r) { r->thumbRX = 20000; }),
       With([](PadReading* r) { r->thumbRX = 20000; }), false},
      {"stick moving beyond the dead zone", With([](PadReading* r) { r->thumbRX = 20000; }),
       With([](PadReading* r) { r->thumbRX = 20001; }), true},
      {"stick back to rest", With([](PadReading* r) { r->thumbLX = 30000; }), Resting(), false},
      {"trigger at its threshold", Resting(), With([](PadReading* r) { r->leftTrigger = 30; }),
       false},
      {"trigger beyond it", Resting(), With([](PadReading* r) { r->rightTrigger = 31; }), true},
      {"trigger held", With([](PadReading* r) { r->leftTrigger = 200; }),
       With([](PadReading* r) { r->leftTrigger = 200; }), false},
      {"a pad just connected, button held", PadReading(),
       With([](PadReading* r) { r->buttons = 0x1000; }), false},
      {"a pad gone", With([](PadReading* r) { r->buttons = 0x1000; }), PadReading(), false},
  };
  for (const PadCase& c : cases) {
    EXPECT_EQ(c.activity, IsPadActivity(c.before, c.now)) << c.name;
  }
}

TEST(PadActivity, PadsAreLookedAtSeldomUntilOneAnswers) {
  EXPECT_GE(NextPadPollMs(false), 2000u);
  EXPECT_LE(NextPadPollMs(true), 150u);
}

// Steps of pad input and ran-out waits at given times, and the resets they give.
TEST(IdleResetPacer, ResetsAtOnceThenAtMostOncePerPeriodKeepingTheLastInputForItsEnd) {
  IdleResetPacer pacer;
  EXPECT_TRUE(pacer.OnInput(1000));
  EXPECT_EQ(0u, pacer.WaitLeft(1000)) << "nothing waits after a reset";
  EXPECT_FALSE(pacer.OnInput(2000));
  EXPECT_FALSE(pacer.OnInput(4000));
  EXPECT_EQ(PadIdleResetMs - 3000, pacer.WaitLeft(4000));
  EXPECT_FALSE(pacer.OnWaitOver(5999)) << "early";
  EXPECT_TRUE(pacer.OnWaitOver(6000)) << "input came meanwhile";
  EXPECT_FALSE(pacer.OnWaitOver(12000)) << "none since";
  EXPECT_TRUE(pacer.OnInput(12000)) << "a period after the last reset";
}

TEST(IdleResetPacer, TheTickCountWrappingDoesNotStopTheResets) {
  IdleResetPacer pacer;
  EXPECT_TRUE(pacer.OnInput(0xFFFFF000u));
  EXPECT_FALSE(pacer.OnInput(0x00000100u));
  EXPECT_TRUE(pacer.OnWaitOver(0xFFFFF000u + PadIdleResetMs));
  EXPECT_TRUE(pacer.OnInput(0xFFFFF000u + 2 * PadIdleResetMs));
}

}  // namespace
}  // namespace morvane

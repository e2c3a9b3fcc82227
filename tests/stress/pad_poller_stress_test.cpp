// Gamepad pollers started and stopped as often as runs start and end: each takes a thread, two
// events and the XInput library (the tests' stand-in here), and gives every one of them back.
#include "gamepad/pad_poller.h"

#include "stress_support.h"

namespace morvane {
namespace {

enum { WarmUpCycles = 5, Cycles = 200 };

void StartAndStop(int cycles, StressFigures* figures) {
  for (int i = 0; i < cycles; ++i) {
    PadPoller poller;
    ASSERT_TRUE(poller.Start(nullptr, WM_APP)) << "no XInput library, cycle " << i;
    // Half of them paused before they go, as a run ending with the display off.
    poller.Pause(i % 2 != 0);
    if (figures && i == cycles / 2) figures->during = CountResources();
  }
}

TEST(PadPollerStress, TwoHundredStartsAndStopsLeaveNoThreadHandleOrLibrary) {
  ExpectNoLeak(
      "pad poller start/stop", [] { StartAndStop(WarmUpCycles, nullptr); },
      [](StressFigures* figures) {
        StartAndStop(Cycles, figures);
        return Cycles;
      });
  EXPECT_EQ(nullptr, GetModuleHandleA("xinput1_4.dll")) << "the library is still loaded";
}

}  // namespace
}  // namespace morvane

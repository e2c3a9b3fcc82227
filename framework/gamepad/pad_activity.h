#pragma once
// When a gamepad counts as the user's input, and how often pads are looked at. Pure logic: the
// readings come from XInput (pad_poller.cpp), the verdicts go to the full-screen run and the agent.
#include <cstdint>

namespace morvane {

// One pad's reading, XInput's XINPUT_GAMEPAD with whether the pad answered at all.
struct PadReading {
  bool connected = false;
  uint16_t buttons = 0;
  uint8_t leftTrigger = 0;
  uint8_t rightTrigger = 0;
  int16_t thumbLX = 0;
  int16_t thumbLY = 0;
  int16_t thumbRX = 0;
  int16_t thumbRY = 0;
};

// XInput's documented dead zones (XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE and its siblings): sticks and
// triggers rest within them, and what happens there is not the user.
enum : int {
  LeftThumbDeadZone = 7849,
  RightThumbDeadZone = 8689,
  TriggerThreshold = 30,
};

// Whether going from before to now is the user at the pad: a button pressed that was not, or a
// stick or trigger beyond its dead zone somewhere else than before. A pad that has just connected
// (before not connected) gives its first reading only: a stick resting askew or a button held
// while plugging in is not input. A new packet number alone is never input either: pads report
// noise within the dead zones.
bool IsPadActivity(const PadReading& before, const PadReading& now);

// How long to wait before the next look: seldom while no pad answers (asking XInput about empty
// slots is the costly case), about ten times a second while one does.
enum : uint32_t { IdlePadPollMs = 3000, ConnectedPadPollMs = 100 };
uint32_t NextPadPollMs(bool anyConnected);

// The agent counts pad input as the user's at most once every PadIdleResetMs: input meanwhile is
// kept for the end of that time, so the idle time still runs from about the last input.
enum : uint32_t { PadIdleResetMs = 5000 };

class IdleResetPacer {
 public:
  // Pad input at now (milliseconds, wrapping): true when the idle time is to be reset now.
  bool OnInput(uint32_t now);
  // The time since the last reset ran out at now: true when input came meanwhile and the reset is
  // due now.
  bool OnWaitOver(uint32_t now);
  // Milliseconds until OnWaitOver is worth calling, 0 when nothing waits.
  uint32_t WaitLeft(uint32_t now) const;

 private:
  bool reset_ = false;  // a reset was made, at last_
  bool pending_ = false;
  uint32_t last_ = 0;
};

}  // namespace morvane

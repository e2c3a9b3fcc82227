#include "gamepad/pad_activity.h"

namespace morvane {

namespace {

// A stick's dead zone is a circle (XInput's guide measures the stick's distance from its centre):
// inside it, the stick counts as centred.
bool StickBeyond(int16_t x, int16_t y, int deadZone) {
  int64_t squared = int64_t{x} * x + int64_t{y} * y;
  return squared > int64_t{deadZone} * deadZone;
}

bool StickMoved(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int deadZone) {
  return StickBeyond(x1, y1, deadZone) && (x0 != x1 || y0 != y1);
}

bool TriggerMoved(uint8_t before, uint8_t now) {
  return now > TriggerThreshold && now != before;
}

}  // namespace

bool IsPadActivity(const PadReading& before, const PadReading& now) {
  if (!now.connected || !before.connected) return false;
  if (now.buttons & ~before.buttons) return true;
  return TriggerMoved(before.leftTrigger, now.leftTrigger) ||
         TriggerMoved(before.rightTrigger, now.rightTrigger) ||
         StickMoved(before.thumbLX, before.thumbLY, now.thumbLX, now.thumbLY, LeftThumbDeadZone) ||
         StickMoved(before.thumbRX, before.thumbRY, now.thumbRX, now.thumbRY, RightThumbDeadZone);
}

uint32_t NextPadPollMs(bool anyConnected) {
  return anyConnected ? ConnectedPadPollMs : IdlePadPollMs;
}

bool IdleResetPacer::OnInput(uint32_t now) {
  if (reset_ && now - last_ < PadIdleResetMs) {
    pending_ = true;
    return false;
  }
  reset_ = true;
  pending_ = false;
  last_ = now;
  return true;
}

bool IdleResetPacer::OnWaitOver(uint32_t now) {
  if (!pending_ || WaitLeft(now) > 0) return false;
  pending_ = false;
  last_ = now;
  return true;
}

uint32_t IdleResetPacer::WaitLeft(uint32_t now) const {
  if (!pending_) return 0;
  uint32_t since = now - last_;
  return since >= PadIdleResetMs ? 0 : PadIdleResetMs - since;
}

}  // namespace morvane

#include "dwell.h"

namespace corners {

namespace {

uint8_t CodeOf(const uint8_t codes[4], int corner) {
  if (corner < 0 || corner > 3) return CodeDefault;
  uint8_t code = codes[corner];
  return code == CodeNow || code == CodeNever ? code : uint8_t{CodeDefault};
}

// The longest pause that stays clear of the clock's wrap (24 days at 1 ms).
enum : uint32_t { MaxPauseMinutes = 0x7fffffffu / 60000u };

}  // namespace

unsigned DwellMachine::Step(const PointerSample& sample, const uint8_t codes[4]) {
  unsigned actions = ActionNone;
  int corner = sample.corner >= 0 && sample.corner <= 3 ? sample.corner : -1;
  if (corner != corner_) {
    corner_ = corner;
    enteredAt_ = sample.time;
    spent_ = false;
  }
  uint8_t code = CodeOf(codes, corner_);
  code_ = code;
  bool rested = corner_ >= 0 && sample.time - enteredAt_ >= dwellMs_;
  bool paused = Paused(sample.time);
  bool suppressed = paused || sample.fullScreen;
  bool wantHold = code == CodeNever && rested && !suppressed;
  if (holdTaken_ && !wantHold) {
    holdTaken_ = false;
    actions |= ActionReleaseHoldOff;
  }
  if (!rested || code == CodeDefault || spent_) return actions;
  // A stay that finds the corners idle stays idle: neither the saver nor the hold-off starts later
  // on the same stay when the full-screen program or the pause ends.
  if (suppressed) {
    spent_ = true;
    return actions | (paused ? ActionPausedIdle : ActionFullScreenIdle);
  }
  if (code == CodeNow) {
    spent_ = true;
    return actions | ActionStartSaver;
  }
  if (!holdTaken_) {
    holdTaken_ = true;
    actions |= ActionTakeHoldOff;
  }
  return actions;
}

void DwellMachine::PauseFor(uint32_t now, uint32_t minutes) {
  if (minutes > MaxPauseMinutes) minutes = MaxPauseMinutes;
  paused_ = true;
  pausedForever_ = false;
  pauseEnd_ = now + minutes * 60000u;
}

void DwellMachine::PauseUntilResumed() {
  paused_ = true;
  pausedForever_ = true;
}

void DwellMachine::Resume() {
  paused_ = false;
  pausedForever_ = false;
}

bool DwellMachine::Paused(uint32_t now) const {
  if (!paused_) return false;
  if (pausedForever_) return true;
  return static_cast<int32_t>(pauseEnd_ - now) > 0;
}

uint32_t DwellMachine::PauseLeft(uint32_t now) const {
  if (!paused_ || pausedForever_ || !Paused(now)) return 0;
  return pauseEnd_ - now;
}

unsigned DwellMachine::Release() {
  if (!holdTaken_) return ActionNone;
  holdTaken_ = false;
  return ActionReleaseHoldOff;
}

}  // namespace corners

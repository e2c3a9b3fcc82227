#pragma once
// What the pointer's stay in a corner asks for: a "now" corner starts the saver once after a short
// rest, a "never" corner holds the idle saver off while the pointer rests there. Fed with pointer
// samples and their times; pure, so that every path is tested without a desktop.
#include <cstdint>

namespace corners {

// The stored corner codes (0 default, 1 now, 2 never); anything else counts as default.
enum CornerCode : uint8_t { CodeDefault = 0, CodeNow = 1, CodeNever = 2 };

// What a step asks of the caller, as bits.
enum DwellAction : unsigned {
  ActionNone = 0,
  ActionStartSaver = 1,
  ActionTakeHoldOff = 2,
  ActionReleaseHoldOff = 4,
  // The pointer came to rest in an active corner while a full-screen program was in front.
  ActionFullScreenIdle = 8,
  // The same, while paused.
  ActionPausedIdle = 16,
};

struct PointerSample {
  // Milliseconds of a clock that may wrap (GetTickCount): only differences count.
  uint32_t time;
  // The corner the pointer is in, or -1.
  int corner;
  // Whether a full-screen program is in front; only looked at inside a corner.
  bool fullScreen;
};

class DwellMachine {
 public:
  enum : uint32_t { DefaultDwellMs = 300 };
  explicit DwellMachine(uint32_t dwellMs = DefaultDwellMs) : dwellMs_(dwellMs) {}

  // One pointer sample with the corner codes in force (corner order); returns DwellAction bits.
  unsigned Step(const PointerSample& sample, const uint8_t codes[4]);

  // Pausing: for minutes from now, or until Resume. A pause ends a hold-off at the next step.
  void PauseFor(uint32_t now, uint32_t minutes);
  void PauseUntilResumed();
  void Resume();
  bool Paused(uint32_t now) const;
  // Milliseconds until a pause for a while ends (at least 1 while it lasts); 0 when not paused or
  // paused until resumed, which no clock ends.
  uint32_t PauseLeft(uint32_t now) const;

  // Whether the current stay in a corner has had its effect, found the corners idle or is in a
  // default corner: nothing more happens until the pointer leaves (or the codes change), so it need
  // not be watched closely.
  bool Settled() const { return corner_ >= 0 && (spent_ || holdTaken_ || code_ == CodeDefault); }

  // Whether the hold-off is taken; Release gives back what ends it (on quitting).
  bool HoldTaken() const { return holdTaken_; }
  unsigned Release();

 private:
  uint32_t dwellMs_;
  int corner_ = -1;
  uint32_t enteredAt_ = 0;
  // This stay in the corner has had its effect (or been spent while suppressed).
  bool spent_ = false;
  // The code of the corner at the last step.
  uint8_t code_ = CodeDefault;
  bool holdTaken_ = false;
  bool paused_ = false;
  bool pausedForever_ = false;
  uint32_t pauseEnd_ = 0;
};

}  // namespace corners

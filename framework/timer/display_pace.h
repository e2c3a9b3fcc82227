#pragma once
// Ticks paced by a monitor's refreshes: a grid of refresh times kept in microseconds of a 64-bit
// clock (the performance counter's), so that 60 Hz gives exactly 60 ticks a second and 59.94 Hz
// 59.94, with no drift from rounding each period to whole milliseconds. Needs no Win32.
#include <cstdint>

namespace morvane {

// A monitor's refresh rate in millihertz from what the system reports in hertz. 0 and 1 mean "the
// hardware's default" and count as 60 Hz; rates above 1000 Hz count as 1000.
uint32_t RefreshMillihertz(uint32_t reportedHz);
// The same from an exact rate as a fraction of hertz (60000/1001 for 59.94 Hz), rounded to the
// nearest millihertz; 0 for a rate the fraction cannot give (a zero denominator, none at all).
uint32_t RationalMillihertz(uint32_t numerator, uint32_t denominator);

class DisplayPace {
 public:
  enum : uint32_t { DefaultMillihertz = 60000, MaxMillihertz = 1000000 };

  // The rate from now on; the grid keeps its phase at the last refresh it handed out. Rates
  // outside 1 mHz to MaxMillihertz count as the default.
  void SetRate(uint32_t millihertz, uint64_t nowUs);
  uint32_t Millihertz() const { return millihertz_; }

  // The refresh at which the next tick is due, for a tick that ended at nowUs: the first refresh
  // after now and after the one handed out last. A tick that ran late thereby skips the refreshes
  // it missed instead of bunching ticks up to catch up, and one that ended early never gets the
  // same refresh twice.
  uint64_t NextDeadline(uint64_t nowUs);

  // Moves the grid's phase to a vertical blank observed at vblankUs, keeping the rate and the
  // count of refreshes: unless that blank is the refresh handed out last (a tick that ended before
  // its refresh came), it is a refresh no tick has had yet, and the next deadline is that blank
  // itself, already past, so that the wait for it costs the display no frame.
  void AlignTo(uint64_t vblankUs);

  // The period in microseconds, for the frame figures' target interval.
  double PeriodUs() const { return 1e9 / millihertz_; }

 private:
  uint64_t RefreshAt(uint64_t index) const {
    return originUs_ + index * 1000000000ull / millihertz_;
  }
  void Restart(uint64_t originUs);

  uint32_t millihertz_ = DefaultMillihertz;
  uint64_t originUs_ = 0;
  // The refresh handed out last, counted from the origin.
  uint64_t index_ = 0;
  bool started_ = false;
  // Whether a refresh has been handed out since the grid started, and whether the refresh at the
  // origin (an aligned vertical blank) is still owed to a tick.
  bool handedOut_ = false;
  bool originOwed_ = false;
};

}  // namespace morvane

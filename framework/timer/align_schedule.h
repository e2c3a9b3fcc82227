#pragma once
// When a display-paced thread waits for its monitor's vertical blank to set the grid's phase:
// rarely, since each wait holds the thread for up to one refresh and the grid keeps the rate in
// between; at once after the monitor changed or ticking resumed from a pause (the display back
// on: a monitor that was off comes back at a phase of its own); and, after a wait that failed (a
// monitor off without the run hearing of it), again a while later. Needs no Win32.
#include <cstdint>

namespace morvane {

class AlignSchedule {
 public:
  enum : uint64_t { EveryUs = 2000000, RetryAfterFailureUs = 10000000 };

  bool Due(uint64_t nowUs) const {
    if (failed_) return nowUs - failedAtUs_ >= RetryAfterFailureUs;
    return !aligned_ || nowUs - alignedAtUs_ >= EveryUs;
  }
  void Aligned(uint64_t nowUs) {
    aligned_ = true;
    failed_ = false;
    alignedAtUs_ = nowUs;
  }
  void Failed(uint64_t nowUs) {
    failed_ = true;
    failedAtUs_ = nowUs;
  }
  // A new monitor, a display change or ticks resumed after a pause: due at the next tick.
  void Restart() { aligned_ = failed_ = false; }

 private:
  bool aligned_ = false;
  bool failed_ = false;
  uint64_t alignedAtUs_ = 0;
  uint64_t failedAtUs_ = 0;
};

}  // namespace morvane

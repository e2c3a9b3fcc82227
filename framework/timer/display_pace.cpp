#include "timer/display_pace.h"

namespace morvane {

namespace {

// Past this many refreshes, or this long past the origin (a long pause), the grid starts afresh
// from its last refresh: the products below then stay far from 64 bits' end.
const uint64_t restartAfterRefreshes = 1000000;
const uint64_t restartAfterUs = 1000000000;

}  // namespace

uint32_t RefreshMillihertz(uint32_t reportedHz) {
  if (reportedHz <= 1) return DisplayPace::DefaultMillihertz;
  if (reportedHz >= DisplayPace::MaxMillihertz / 1000) return DisplayPace::MaxMillihertz;
  return reportedHz * 1000;
}

uint32_t RationalMillihertz(uint32_t numerator, uint32_t denominator) {
  if (denominator == 0 || numerator == 0) return 0;
  uint64_t millihertz = (uint64_t{numerator} * 1000 + denominator / 2) / denominator;
  if (millihertz == 0) return 0;
  return millihertz > DisplayPace::MaxMillihertz ? uint32_t{DisplayPace::MaxMillihertz}
                                                 : static_cast<uint32_t>(millihertz);
}

void DisplayPace::Restart(uint64_t originUs) {
  originUs_ = originUs;
  index_ = 0;
}

void DisplayPace::SetRate(uint32_t millihertz, uint64_t nowUs) {
  if (millihertz == 0 || millihertz > MaxMillihertz) millihertz = DefaultMillihertz;
  Restart(started_ ? RefreshAt(index_) : nowUs);
  started_ = true;
  millihertz_ = millihertz;
}

uint64_t DisplayPace::NextDeadline(uint64_t nowUs) {
  if (!started_) SetRate(millihertz_, nowUs);
  handedOut_ = true;
  if (originOwed_) {
    originOwed_ = false;
    // The blank the alignment waited for, unless the tick asking has already run past the next.
    if (nowUs < RefreshAt(1)) {
      index_ = 0;
      return originUs_;
    }
  }
  if (index_ >= restartAfterRefreshes) Restart(RefreshAt(index_));
  uint64_t next = index_ + 1;
  if (nowUs >= RefreshAt(next)) {
    uint64_t since = nowUs - originUs_;
    if (since >= restartAfterUs) {
      // Long late (the window was paused): a new grid from now.
      Restart(nowUs);
      next = 1;
    } else {
      next = since * millihertz_ / 1000000000ull + 1;
      // The integer arithmetic may land one short of the first refresh after now.
      while (RefreshAt(next) <= nowUs) ++next;
    }
  }
  index_ = next;
  return RefreshAt(next);
}

void DisplayPace::AlignTo(uint64_t vblankUs) {
  // A blank within an eighth of a period of the last deadline is that refresh; any later one has
  // had no tick yet. An eighth leaves room for the wait's own latency and the grid's drift
  // between alignments while telling neighbouring refreshes apart at any rate.
  bool sameAsLast = false;
  if (started_ && handedOut_) {
    uint64_t last = RefreshAt(index_);
    uint64_t eighth = 125000000ull / millihertz_;
    sameAsLast = vblankUs <= last + eighth;
  }
  started_ = true;
  Restart(vblankUs);
  originOwed_ = !sameAsLast;
}

}  // namespace morvane

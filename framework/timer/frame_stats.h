#pragma once
// The frame figures of a saver window: how many ticks it handled, how far apart they started and
// how much of the time handling them took. Pure arithmetic on microsecond readings of one clock,
// fed on the window's thread; no Win32, so it is tested natively.
#include <cstdint>

namespace morvane {

// Intervals are counted in steps of FrameStepUs up to FrameSteps steps; longer ones in the last.
enum : uint32_t { FrameStepUs = 250, FrameSteps = 4000 };

struct FrameStats {
  uint32_t ticks;
  uint64_t firstStartUs;  // of the first tick
  uint64_t lastStartUs;
  uint64_t lastEndUs;
  uint64_t intervalSumUs;  // between the starts of consecutive ticks
  uint64_t busySumUs;      // spent handling ticks
  uint32_t histogram[FrameSteps];
};

struct FrameFigures {
  uint32_t ticks;
  double meanIntervalMs;  // 0 before the second tick
  double p99IntervalMs;   // the smallest step bound under which 99% of the intervals lie
  double busyShare;       // busy time over the time from the first tick's start to the last's end
};

// A tick that started at startUs and ended at endUs. Readings that run backwards count as no time.
void RecordTick(FrameStats& stats, uint64_t startUs, uint64_t endUs);
FrameFigures FiguresOf(const FrameStats& stats);

}  // namespace morvane

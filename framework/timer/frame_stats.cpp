#include "timer/frame_stats.h"

namespace morvane {

namespace {

uint64_t Since(uint64_t from, uint64_t to) {
  return to > from ? to - from : 0;
}

}  // namespace

void RecordTick(FrameStats& stats, uint64_t startUs, uint64_t endUs) {
  if (stats.ticks == 0) {
    stats.firstStartUs = startUs;
  } else {
    uint64_t interval = Since(stats.lastStartUs, startUs);
    stats.intervalSumUs += interval;
    uint64_t step = interval / FrameStepUs;
    ++stats.histogram[step < FrameSteps ? step : FrameSteps - 1];
  }
  if (stats.ticks < UINT32_MAX) ++stats.ticks;
  stats.lastStartUs = startUs;
  stats.lastEndUs = endUs > startUs ? endUs : startUs;
  stats.busySumUs += Since(startUs, endUs);
}

FrameFigures FiguresOf(const FrameStats& stats) {
  FrameFigures figures = {};
  figures.ticks = stats.ticks;
  uint64_t intervals = 0;
  for (uint32_t count : stats.histogram) intervals += count;
  if (intervals > 0) {
    figures.meanIntervalMs = static_cast<double>(stats.intervalSumUs) / intervals / 1000.0;
    // The 99th percentile: the first step at which 99% of the intervals are counted.
    uint64_t wanted = (intervals * 99 + 99) / 100;
    uint64_t counted = 0;
    for (uint32_t step = 0; step < FrameSteps; ++step) {
      counted += stats.histogram[step];
      if (counted >= wanted) {
        figures.p99IntervalMs = (step + 1) * static_cast<double>(FrameStepUs) / 1000.0;
        break;
      }
    }
  }
  uint64_t span = Since(stats.firstStartUs, stats.lastEndUs);
  if (span > 0) {
    double share = static_cast<double>(stats.busySumUs) / static_cast<double>(span);
    figures.busyShare = share > 1.0 ? 1.0 : share;
  }
  return figures;
}

}  // namespace morvane

// The frame figures of a saver window from its tick readings, under the sanitizers.
#include "timer/frame_stats.h"

#include <gtest/gtest.h>

#include <memory>

using namespace morvane;

namespace {

std::unique_ptr<FrameStats> Fresh() {
  return std::unique_ptr<FrameStats>(new FrameStats{});
}

TEST(FrameStats, SteadyTicksGiveTheirPeriodTheirPercentileAndTheirBusyShare) {
  auto stats = Fresh();
  // 101 ticks 16.5 ms apart, each busy 4 ms: a quarter of the time, give or take the last tick.
  for (uint64_t i = 0; i <= 100; ++i) RecordTick(*stats, 1000000 + i * 16500, 1004000 + i * 16500);
  FrameFigures f = FiguresOf(*stats);
  EXPECT_EQ(101u, f.ticks);
  EXPECT_DOUBLE_EQ(16.5, f.meanIntervalMs);
  EXPECT_DOUBLE_EQ(16.75, f.p99IntervalMs);  // the 250 us step holding 16.5 ms
  EXPECT_NEAR(404.0 / 1654.0, f.busyShare, 1e-9);
}

TEST(FrameStats, ThePercentileSeesTheOneLongIntervalInAHundredButNotInAThousand) {
  // Ticks of 10 ms, then one stall of 90 ms: in 99 intervals it is the 99th percentile, in 1000
  // it is not.
  auto Stalled = [](int steady) {
    auto stats = Fresh();
    uint64_t t = 0;
    RecordTick(*stats, t, t);
    for (int i = 0; i < steady; ++i) {
      t += 10000;
      RecordTick(*stats, t, t);
    }
    t += 90000;
    RecordTick(*stats, t, t);
    return FiguresOf(*stats).p99IntervalMs;
  };
  EXPECT_DOUBLE_EQ(90.25, Stalled(98));
  EXPECT_DOUBLE_EQ(10.25, Stalled(999));
}

TEST(FrameStats, NoTicksOneTickOverlongIntervalsAndBackwardReadingsStayFinite) {
  auto stats = Fresh();
  FrameFigures none = FiguresOf(*stats);
  EXPECT_EQ(0u, none.ticks);
  EXPECT_EQ(0.0, none.meanIntervalMs);
  EXPECT_EQ(0.0, none.p99IntervalMs);
  EXPECT_EQ(0.0, none.busyShare);
  RecordTick(*stats, 5000, 9000);
  FrameFigures one = FiguresOf(*stats);
  EXPECT_EQ(1u, one.ticks);
  EXPECT_EQ(0.0, one.meanIntervalMs);
  EXPECT_DOUBLE_EQ(1.0, one.busyShare);
  // Ten seconds apart: counted in the last step; then a reading from before the last one.
  RecordTick(*stats, 10005000, 10005000);
  RecordTick(*stats, 3000, 1000);
  FrameFigures odd = FiguresOf(*stats);
  EXPECT_EQ(3u, odd.ticks);
  EXPECT_DOUBLE_EQ(FrameSteps * FrameStepUs / 1000.0, odd.p99IntervalMs);
  EXPECT_DOUBLE_EQ(5000.0, odd.meanIntervalMs);
  EXPECT_LE(odd.busyShare, 1.0);
  EXPECT_GE(odd.busyShare, 0.0);
}

}  // namespace

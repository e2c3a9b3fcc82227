// What the frame-rate overlay shows: the rate of the last half second from the frame figures, the
// CPU load from two readings of the process's times, and the text built from them, whatever the
// clocks and figures hand over.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "frame_overlay_text.h"

namespace {

constexpr std::uint64_t Second = 10000000;  // in 100-nanosecond units

OverlaySample Sample(double wallSeconds, double cpuSeconds, unsigned ticks, double meanMs) {
  OverlaySample sample = {};
  sample.wall100ns = static_cast<std::uint64_t>(wallSeconds * Second);
  sample.cpu100ns = static_cast<std::uint64_t>(cpuSeconds * Second);
  sample.ticks = ticks;
  sample.meanIntervalMs = meanMs;
  return sample;
}

std::string Text(double fps, double p99, double cpu) {
  char out[OverlayTextSize];
  const int length = FormatOverlayText(fps, p99, cpu, out, sizeof out);
  EXPECT_EQ(length, static_cast<int>(std::strlen(out)));
  return out;
}

TEST(FrameOverlayText, CpuLoadIsCpuTimeOverWallTimeInPercentOfOneCore) {
  EXPECT_DOUBLE_EQ(CpuLoadPercent(Sample(10, 1, 0, 0), Sample(11, 1.25, 0, 0)), 25.0);
  EXPECT_DOUBLE_EQ(CpuLoadPercent(Sample(10, 1, 0, 0), Sample(10.5, 1.5, 0, 0)), 100.0);
  // Several busy threads: more than one core's worth.
  EXPECT_DOUBLE_EQ(CpuLoadPercent(Sample(10, 1, 0, 0), Sample(10.5, 2.0, 0, 0)), 200.0);
  EXPECT_DOUBLE_EQ(CpuLoadPercent(Sample(10, 1, 0, 0), Sample(12, 1, 0, 0)), 0.0);
  // No wall time between them, or clocks that went back: no load can be told.
  EXPECT_TRUE(std::isnan(CpuLoadPercent(Sample(10, 1, 0, 0), Sample(10, 2, 0, 0))));
  EXPECT_TRUE(std::isnan(CpuLoadPercent(Sample(10, 1, 0, 0), Sample(9, 2, 0, 0))));
  EXPECT_TRUE(std::isnan(CpuLoadPercent(Sample(10, 2, 0, 0), Sample(11, 1, 0, 0))));
}

TEST(FrameOverlayText, TheRateIsThatOfTheTicksSinceTheLastSample) {
  // 31 ticks at 16 ms, then 30 more at 33 ms: the overlay shows the recent 30, not the mean.
  const double firstSum = 30 * 16.0, laterSum = firstSum + 30 * 33.0;
  const OverlaySample before = Sample(1, 0, 31, firstSum / 30);
  const OverlaySample after = Sample(2, 0, 61, laterSum / 60);
  EXPECT_NEAR(RecentFramesPerSecond(before, after), 1000.0 / 33.0, 1e-9);
  // Without a tick in between (or with a count that went back) the mean of all ticks counts.
  EXPECT_NEAR(RecentFramesPerSecond(after, after), 60000.0 / laterSum, 1e-9);
  EXPECT_NEAR(RecentFramesPerSecond(after, before), 1000.0 / 16.0, 1e-9);
  // Fewer than two ticks: no interval yet.
  EXPECT_TRUE(std::isnan(RecentFramesPerSecond(Sample(0, 0, 0, 0), Sample(1, 0, 1, 0))));
  EXPECT_TRUE(std::isnan(RecentFramesPerSecond(Sample(0, 0, 0, 0), Sample(1, 0, 5, -3))));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_TRUE(std::isnan(RecentFramesPerSecond(Sample(0, 0, 0, 0), Sample(1, 0, 5, nan))));
}

TEST(FrameOverlayText, TheTextShowsRateP99AndLoadAndDashesWhatIsUnknown) {
  EXPECT_EQ(Text(59.94, 17.26, 12.4), "59.9 fps  p99 17.3 ms  CPU 12%");
  EXPECT_EQ(Text(30, 33.5, 0), "30.0 fps  p99 33.5 ms  CPU 0%");
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(Text(nan, 0, nan), "-- fps  p99 -- ms  CPU --%");
  EXPECT_EQ(Text(-1, -2, -3), "-- fps  p99 -- ms  CPU --%");
  EXPECT_EQ(Text(inf, inf, inf), "9999.9 fps  p99 9999.9 ms  CPU 9999%");
  EXPECT_EQ(Text(1e300, 1e300, 1e300), "9999.9 fps  p99 9999.9 ms  CPU 9999%");
}

TEST(FrameOverlayText, FormattingStaysInsideTheBufferItIsGiven) {
  char out[8];
  std::memset(out, 'x', sizeof out);
  const int length = FormatOverlayText(60, 16.5, 20, out, 5);
  EXPECT_EQ(length, 4);
  EXPECT_STREQ(out, "60.0");
  EXPECT_EQ(out[5], 'x');
  EXPECT_EQ(FormatOverlayText(60, 16.5, 20, out, 1), 0);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(FormatOverlayText(60, 16.5, 20, nullptr, 0), 0);
  // The longest text fits the size the overlay uses.
  char full[OverlayTextSize];
  const int longest = FormatOverlayText(1e9, 1e9, 1e9, full, sizeof full);
  EXPECT_EQ(longest, static_cast<int>(std::strlen("9999.9 fps  p99 9999.9 ms  CPU 9999%")));
}

TEST(FrameOverlayText, TheTextIsWorkedOutAtFirstThenAboutTwiceASecond) {
  OverlayText overlay;
  EXPECT_STREQ(overlay.text, "");
  // The first tick: no figures yet, no load yet.
  EXPECT_TRUE(RefreshOverlayText(overlay, Sample(100, 5, 0, 0), 0));
  EXPECT_STREQ(overlay.text, "-- fps  p99 -- ms  CPU --%");
  EXPECT_FALSE(RefreshOverlayText(overlay, Sample(100.2, 5.1, 12, 16.0), 16.26));
  EXPECT_FALSE(RefreshOverlayText(overlay, Sample(100.49, 5.1, 30, 16.0), 16.26));
  EXPECT_STREQ(overlay.text, "-- fps  p99 -- ms  CPU --%");
  EXPECT_TRUE(RefreshOverlayText(overlay, Sample(100.5, 5.1, 31, 16.0), 16.26));
  EXPECT_STREQ(overlay.text, "62.5 fps  p99 16.3 ms  CPU 20%");
  // Half a second later, from that sample on.
  EXPECT_FALSE(RefreshOverlayText(overlay, Sample(100.9, 5.2, 50, 16.0), 16.26));
  EXPECT_TRUE(
      RefreshOverlayText(overlay, Sample(101.0, 5.15, 46, (30 * 16.0 + 15 * 20.0) / 45), 20.5));
  EXPECT_STREQ(overlay.text, "50.0 fps  p99 20.5 ms  CPU 10%");
  // A clock that went back starts afresh rather than waiting for it to catch up.
  EXPECT_TRUE(RefreshOverlayText(overlay, Sample(50, 1, 47, 17.0), 20.5));
  EXPECT_STREQ(overlay.text, "58.8 fps  p99 20.5 ms  CPU --%");
}

}  // namespace

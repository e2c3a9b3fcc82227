#include "frame_overlay_text.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

const double unknown = std::numeric_limits<double>::quiet_NaN();

// Each field keeps its width: a runaway figure shows as the field's largest value.
constexpr double LargestTenths = 9999.9;
constexpr double LargestPercent = 9999.0;

// One field's text: "--" when unknown, else the value with the given decimals.
void FormatField(double value, bool zeroKnown, double largest, int decimals, char* out,
                 std::size_t size) {
  const bool known = !std::isnan(value) && (zeroKnown ? value >= 0.0 : value > 0.0);
  if (!known) {
    std::snprintf(out, size, "--");
    return;
  }
  std::snprintf(out, size, "%.*f", decimals, value < largest ? value : largest);
}

double IntervalSumMs(const OverlaySample& sample) {
  return sample.ticks > 1 ? sample.meanIntervalMs * (sample.ticks - 1) : 0.0;
}

double RateOfMean(double meanMs) {
  return std::isfinite(meanMs) && meanMs > 0.0 ? 1000.0 / meanMs : unknown;
}

}  // namespace

double CpuLoadPercent(const OverlaySample& from, const OverlaySample& to) {
  if (to.wall100ns <= from.wall100ns || to.cpu100ns < from.cpu100ns) return unknown;
  return 100.0 * static_cast<double>(to.cpu100ns - from.cpu100ns) /
         static_cast<double>(to.wall100ns - from.wall100ns);
}

double RecentFramesPerSecond(const OverlaySample& from, const OverlaySample& to) {
  if (to.ticks < 2) return unknown;
  const unsigned fromIntervals = from.ticks > 1 ? from.ticks - 1 : 0;
  const unsigned newIntervals = to.ticks - 1 > fromIntervals ? to.ticks - 1 - fromIntervals : 0;
  const double newMs = IntervalSumMs(to) - IntervalSumMs(from);
  if (newIntervals == 0 || !std::isfinite(newMs) || newMs <= 0.0)
    return RateOfMean(to.meanIntervalMs);
  return 1000.0 * newIntervals / newMs;
}

int FormatOverlayText(double framesPerSecond, double p99Ms, double cpuPercent, char* out,
                      std::size_t size) {
  if (!out || size == 0) return 0;
  char fps[16], p99[16], cpu[16];
  FormatField(framesPerSecond, false, LargestTenths, 1, fps, sizeof fps);
  FormatField(p99Ms, false, LargestTenths, 1, p99, sizeof p99);
  FormatField(cpuPercent, true, LargestPercent, 0, cpu, sizeof cpu);
  const int wanted = std::snprintf(out, size, "%s fps  p99 %s ms  CPU %s%%", fps, p99, cpu);
  if (wanted < 0) {
    out[0] = '\0';
    return 0;
  }
  return static_cast<std::size_t>(wanted) < size ? wanted : static_cast<int>(size - 1);
}

bool OverlayRefreshDue(const OverlayText& overlay, std::uint64_t wall100ns) {
  return !overlay.sampled || wall100ns < overlay.shown.wall100ns ||
         wall100ns - overlay.shown.wall100ns >= OverlayRefresh100ns;
}

bool RefreshOverlayText(OverlayText& overlay, const OverlaySample& now, double p99Ms) {
  if (!OverlayRefreshDue(overlay, now.wall100ns)) return false;
  const bool clockWentBack = overlay.sampled && now.wall100ns < overlay.shown.wall100ns;
  const bool fromLast = overlay.sampled && !clockWentBack;
  const double rate =
      fromLast ? RecentFramesPerSecond(overlay.shown, now) : RateOfMean(now.meanIntervalMs);
  const double load = fromLast ? CpuLoadPercent(overlay.shown, now) : unknown;
  FormatOverlayText(rate, p99Ms, load, overlay.text, sizeof overlay.text);
  overlay.shown = now;
  overlay.sampled = true;
  return true;
}

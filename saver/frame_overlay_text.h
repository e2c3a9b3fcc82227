#pragma once
// What the frame-rate overlay shows, worked out from plain numbers: no Win32 here.
#include <cstddef>
#include <cstdint>

// One reading taken at a tick: the process's CPU time (user and kernel, all threads) and the wall
// clock, both in 100-nanosecond units, and the window's frame figures at that moment.
struct OverlaySample {
  std::uint64_t cpu100ns;
  std::uint64_t wall100ns;
  unsigned int ticks;     // ticks handled so far
  double meanIntervalMs;  // mean time between tick starts over all of them (0 before two)
};

// The text is worked out anew at most this often: about twice a second, so that it can be read.
constexpr std::uint64_t OverlayRefresh100ns = 5000000;

// Room for the longest text, "9999.9 fps  p99 9999.9 ms  CPU 9999%", and its end.
constexpr std::size_t OverlayTextSize = 48;

// The CPU load between two readings, in percent of one core (above 100 when several threads
// work); NaN when no wall time passed between them or a clock went back.
double CpuLoadPercent(const OverlaySample& from, const OverlaySample& to);

// Frames a second over the ticks between two readings. Without a new interval since `from`, the
// mean over all ticks counts; NaN before the second tick.
double RecentFramesPerSecond(const OverlaySample& from, const OverlaySample& to);

// The overlay's line, e.g. "59.9 fps  p99 17.3 ms  CPU 12%"; a figure that is not known (NaN,
// not above zero; a negative load) shows as "--", and a huge one as its field's largest value.
// Writes at most size bytes, always ending the text when size > 0; returns the length written.
int FormatOverlayText(double framesPerSecond, double p99Ms, double cpuPercent, char* out,
                      std::size_t size);

// The overlay's text and the reading it was worked out from.
struct OverlayText {
  bool sampled = false;
  OverlaySample shown = {};
  char text[OverlayTextSize] = {};
};

// Whether a reading at this wall time would work the text out anew (see RefreshOverlayText): the
// cheap question asked at every tick before the process's times and figures are read.
bool OverlayRefreshDue(const OverlayText& overlay, std::uint64_t wall100ns);

// Works the text out anew at the first reading, once OverlayRefresh100ns have passed since the
// last one that did, or when the wall clock went back (which starts afresh). True when it did.
bool RefreshOverlayText(OverlayText& overlay, const OverlaySample& now, double p99Ms);

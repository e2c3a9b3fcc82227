#pragma once
// What every stress round shares: a clock, the counts taken once the process has settled, and the
// figures each round prints for the record.
#include <windows.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "resource_counts.h"

// Milliseconds on the performance counter.
double StopwatchMs();

// The counts once they equal expected, or the last counts read when limitMs pass first. Threads
// that have signalled their end and windows destroyed elsewhere may take a moment to leave the
// system's lists; a leak never leaves them.
ResourceCounts CountsOnceSettled(const ResourceCounts& expected, DWORD limitMs = 2000);
// The counts once two readings 20 ms apart agree (at most limitMs): the baseline of a round.
ResourceCounts SteadyCounts(DWORD limitMs = 2000);

// Dispatches this thread's messages, sent ones included, until done() or limitMs have passed;
// done()'s last answer. Wakes at least every 5 ms to ask done(), which may turn true without a
// message.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD limitMs);

// One measured round: the counts before it, its cycles and the time they took, the counts after.
struct StressFigures {
  std::string name;
  int cycles = 0;
  double durationMs = 0;
  ResourceCounts before, during, after;
  GdiKinds gdiBefore, gdiAfter;
};

// A line per round on stdout, read from the test log for the record:
// "[stress] timer start/stop: 2000 cycles in 812 ms; before handles .. ; during ..; after ..".
void PrintFigures(const StressFigures& figures);

// How much of the GDI count a round may leave: with bound 0 nothing. A round that opens and
// closes windows full of controls may also leave what Wine makes once and keeps for reuse, each
// kind grown by less than bound: window DCs with their regions and internal surfaces (its DC
// cache, which grows in bursts when a paint needs more DCs at once than ever before), a few DIB
// sections of small fixed sizes (8x64, 5x95, 7x24, 48x48) that no code of ours creates, and the
// brush and pen of a system colour, made the first time something draws with it. All of them stop
// growing within the first runs and stay flat over hundreds more; a leak in every run, or in
// every other, exceeds the bound. Memory DCs, fonts and palettes must come back exactly.
struct GdiAllowance {
  long bound = 0;
};

// Runs body as the measured round after warmUp (which pays the one-time costs: classes, fonts,
// cached bitmaps, the first thread's set-up), and expects every count back at its value from
// before body, within allowance for GDI. body returns its number of cycles and may record its
// peak in figures->during.
void ExpectNoLeak(const std::string& name, const std::function<void()>& warmUp,
                  const std::function<int(StressFigures*)>& body,
                  GdiAllowance allowance = GdiAllowance{});

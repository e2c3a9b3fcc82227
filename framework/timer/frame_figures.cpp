#include "timer/frame_figures.h"

#include <cstddef>
#include <cstdio>

#include "core/library.h"
#include "core/own_messages.h"
#include "core/trace.h"
#include "settings/prefs.h"
#include "timer/timer.h"

namespace morvane {

uint64_t MicrosecondsNow() {
  static LARGE_INTEGER frequency;
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  if (frequency.QuadPart <= 0) return GetTickCount() * 1000ull;
  uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
  uint64_t perSecond = static_cast<uint64_t>(frequency.QuadPart);
  return ticks / perSecond * 1000000ull + ticks % perSecond * 1000000ull / perSecond;
}

LRESULT SendTimedTick(HWND window, WPARAM wParam, LPARAM lParam) {
  uint64_t start = MicrosecondsNow();
  LRESULT answer = SendOwnMessage(window, SCRM_TIMER, wParam, lParam);
  // The saver may have destroyed its window while handling the tick, and with it the figures.
  if (FrameStats* stats = FrameStatsOf(window)) RecordTick(*stats, start, MicrosecondsNow());
  return answer;
}

void TraceFrameFigures(HWND window) {
  if (!currentPrefs.debugTrace) return;
  const FrameStats* stats = FrameStatsOf(window);
  if (!stats) return;
  FrameFigures figures = FiguresOf(*stats);
  char line[160];
  std::snprintf(line, sizeof line,
                "Frames of window %p: %u ticks, mean interval %.2f ms, 99th percentile %.2f ms, "
                "busy %.1f%%",
                static_cast<void*>(window), figures.ticks, figures.meanIntervalMs,
                figures.p99IntervalMs, figures.busyShare * 100.0);
  Trace(line);
}

}  // namespace morvane

// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" BOOL WINAPI ScrGetFrameFigures(HWND window, ScrFrameFigures* figures) {
  EnsureLibrary();
  // An older header's record ends before targetIntervalMs.
  const int olderSize = static_cast<int>(offsetof(ScrFrameFigures, targetIntervalMs));
  if (!figures ||
      (figures->size != static_cast<int>(sizeof(ScrFrameFigures)) && figures->size != olderSize)) {
    Trace("ScrGetFrameFigures: no record, or one of another size");
    return FALSE;
  }
  // Only a window of this process: another's property would point into its memory.
  DWORD process = 0;
  if (window && IsWindow(window)) GetWindowThreadProcessId(window, &process);
  const FrameStats* stats = process == GetCurrentProcessId() ? FrameStatsOf(window) : nullptr;
  if (!stats) {
    Trace("ScrGetFrameFigures: not a saver window");
    return FALSE;
  }
  FrameFigures f = FiguresOf(*stats);
  figures->ticks = f.ticks;
  figures->meanIntervalMs = f.meanIntervalMs;
  figures->p99IntervalMs = f.p99IntervalMs;
  figures->busyShare = f.busyShare;
  if (figures->size == static_cast<int>(sizeof(ScrFrameFigures))) {
    const TimerRecord* record = LookUpTimerRecord(window);
    figures->targetIntervalMs = record ? record->targetIntervalUs / 1000.0 : 0.0;
  }
  return TRUE;
}

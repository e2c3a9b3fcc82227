#pragma once
// The frame figures of saver windows, counted where the ticks are handled. Saver thread.
#include <windows.h>

#include <cstdint>

namespace morvane {

// Microseconds of the performance counter (of the tick count where there is none). Any thread.
uint64_t MicrosecondsNow();
// Sends the window its SCRM_TIMER and counts the tick in the window's frame figures.
LRESULT SendTimedTick(HWND window, WPARAM wParam, LPARAM lParam);
// With debugTrace: one line of the window's figures ("Frames: ... ticks, mean ...").
void TraceFrameFigures(HWND window);

}  // namespace morvane

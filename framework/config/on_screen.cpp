#include "config/on_screen.h"

namespace morvane {

namespace {

// The start of a span of the given length, moved as little as needed to lie within [low, high),
// or to start at low when it is longer than that.
LONG Fit(LONG start, LONG length, LONG low, LONG high) {
  if (start + length > high) start = high - length;
  return start < low ? low : start;
}

}  // namespace

void KeepInsideWorkArea(HWND window) {
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  LONG x = Fit(rect.left, rect.right - rect.left, work.left, work.right);
  LONG y = Fit(rect.top, rect.bottom - rect.top, work.top, work.bottom);
  if (x == rect.left && y == rect.top) return;
  // A top-level window's position is in screen coordinates, as GetWindowRect gives it.
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace morvane

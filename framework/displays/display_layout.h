#pragma once
// How a full-screen run lays its windows over the monitors, and how it follows them when they
// change: pure geometry on fixed-size records, so that it needs no Win32 and cannot fail.
#include <cstdint>

namespace morvane {

enum { MaxRunWindows = 16, MonitorKeySize = 32 };

// Screen coordinates; right and bottom are exclusive. Left of or above the primary monitor they
// are negative.
struct ScreenBox {
  int32_t left, top, right, bottom;
};

struct ScreenPoint {
  int32_t x, y;
};

// A monitor as the system lists it. key names it across changes (the system's device name);
// it is always terminated.
struct DesktopMonitor {
  ScreenBox area;
  bool primary;
  char key[MonitorKeySize];
};

// The policies, numbered as the public SCRMONITORS_ values.
enum LayoutPolicy { PolicyPrimary = 0, PolicyEach = 1, PolicySpan = 2 };
bool IsLayoutPolicy(int policy);

enum class RunWindowKind : uint8_t { Saver, Cover };

// One window of a run: what it is, where it goes, its number (0 for the saver window on the
// primary monitor or spanning all, 1 upward for the others in the system's order) and the key of
// its monitor (empty for the spanning window).
struct PlannedWindow {
  RunWindowKind kind;
  ScreenBox area;
  int number;
  char monitor[MonitorKeySize];
};

struct RunPlan {
  int count;
  PlannedWindow windows[MaxRunWindows];
};

// The windows of a run over these monitors; a spanning saver window has a cover over each
// monitor under it (listed after it), as many as fit in MaxRunWindows. Monitors without area, and a
// second monitor showing the very area of an earlier one (mirrored displays), get no window; beyond
// MaxRunWindows monitors the rest are left out. No monitor at all gives an empty plan. The primary
// monitor is the one marked so, else the one holding the point (0,0), else the first.
RunPlan PlanRunWindows(int policy, const DesktopMonitor* monitors, int count);

// Where each window of a running run goes when the monitors change: placeOf[i] is the plan's
// window that existing window i becomes (moved there), or -1 when it is to be destroyed; a plan
// window that no existing one becomes (taken[j] false) is to be made. A window stays with its
// monitor and kind; the saver window numbered 0 is never destroyed (it holds the framework's
// dialogs): when its monitor went it becomes the plan's saver window numbered 0, whichever
// window's monitor that is; and a cover whose monitor went may cover a new one.
struct RelayoutMatch {
  int placeOf[MaxRunWindows];
  bool taken[MaxRunWindows];
};
RelayoutMatch MatchRelayout(const PlannedWindow* existing, int existingCount, const RunPlan& plan);

// Whether the pointer went further than threshold pixels along either axis from origin. Negative
// thresholds count as 0; the arithmetic does not overflow for any coordinates.
bool MovedPastThreshold(ScreenPoint origin, ScreenPoint now, int32_t threshold);

// The outer corners of a desktop: for each corner of the monitors' bounding box (top-left,
// top-right, bottom-right, bottom-left) the same corner pixel of the monitor whose corner lies
// nearest to it. False, corners untouched, when no monitor has an area.
bool DesktopCorners(const DesktopMonitor* monitors, int count, ScreenPoint corners[4]);

}  // namespace morvane

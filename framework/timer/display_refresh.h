#pragma once
// What a display-paced timer thread asks of the monitor its window is on: the refresh rate, and,
// where the system offers it, a wait for that monitor's vertical blank. Timer threads call these;
// NoteDisplayChange is called on the saver thread.
#include <windows.h>

#include <cstdint>

#include "timer/align_schedule.h"
#include "timer/display_pace.h"

namespace morvane {

// The monitors' rates as replaceable steps, so that tests can give monitors rates of their own.
struct DisplayRefreshSteps {
  // The monitor's rate in millihertz, 0 when the system does not say: the exact rate where the
  // system has it (QueryDisplayConfig), else the whole hertz of its display settings.
  uint32_t (*millihertz)(HMONITOR monitor);
};
extern DisplayRefreshSteps displayRefreshSteps;
extern const DisplayRefreshSteps platformDisplayRefreshSteps;

// The monitors changed (WM_DISPLAYCHANGE): every display-paced thread reads its rate again.
void NoteDisplayChange();

// A timer thread's view of its window's monitor. Belongs to that thread alone.
struct DisplayClock {
  DisplayPace pace;
  HMONITOR monitor;
  LONG generation;
  // The vertical-blank wait, where the system has one: the adapter and its source, or 0.
  UINT adapter;
  UINT source;
  bool vblankTried;
  bool vblankAbsent;  // the system has no vertical-blank wait at all
  AlignSchedule alignment;
};

// Follows the window to its monitor: a new monitor or a display change reads the rate again (and
// opens the monitor's vertical-blank wait, where there is one). Traces a change of rate.
void FollowWindowMonitor(DisplayClock& clock, HWND window, uint64_t nowUs);

// Now and then, where the system offers it, waits for the monitor's vertical blank (at most one
// refresh) and sets the grid's phase to it. Never available under Wine 8.
void AlignToVerticalBlank(DisplayClock& clock, uint64_t nowUs);

// Ticks resume after a pause (the display back on, the session unlocked): the monitor may have
// come back at another phase, so the next tick aligns again, reopening a wait that had failed.
void ResumeDisplayClock(DisplayClock& clock);

// Lets go of what FollowWindowMonitor opened.
void CloseDisplayClock(DisplayClock& clock);

}  // namespace morvane

#include "displays/display_run.h"

#include "core/trace.h"
#include "gamepad/run_pads.h"
#include "power/power_state.h"
#include "settings/prefs.h"
#include "window/saver_state.h"

namespace morvane {

DisplayRun displayRun;

namespace {

// Which saver window the run makes; kept for the windows a later change of monitors needs.
HWND (*makeRunSaverWindow)(const ScreenBox& area);

RunPlan PlanForMonitorsNow() {
  DesktopMonitor monitors[MaxRunWindows] = {};
  int count = displayRun.listMonitors ? displayRun.listMonitors(monitors, MaxRunWindows) : 0;
  if (count < 0) count = 0;
  if (count > MaxRunWindows) count = MaxRunWindows;
  RunPlan plan = PlanRunWindows(displayRun.policy, monitors, count);
  if (plan.count == 0) {
    // A lister that found nothing usable: the screen as the system measures it.
    DesktopMonitor screen = {
        {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true, ""};
    plan = PlanRunWindows(PolicyPrimary, &screen, 1);
  }
  // A windowed saver in debug mode is one window, whatever the policy.
  if (currentPrefs.debugMode) plan.count = 1;
  return plan;
}

// Makes the window of windows[index] from its place; a saver window that cannot be made leaves
// its monitor covered instead, so that no desktop shows.
void MakeRunWindow(int index) {
  RunWindow& entry = displayRun.windows[index];
  entry.window = nullptr;
  displayRun.making = index;
  if (entry.place.kind == RunWindowKind::Saver) {
    entry.window = makeRunSaverWindow ? makeRunSaverWindow(entry.place.area) : nullptr;
    if (!entry.window && entry.place.number != 0) {
      Trace("Several monitors: a saver window could not be made; covering its monitor instead");
      entry.place.kind = RunWindowKind::Cover;
    }
  }
  if (entry.place.kind == RunWindowKind::Cover) entry.window = MakeCoverWindow(entry.place.area);
  displayRun.making = -1;
}

// Drops the entries whose window could not be made or is gone.
void CompactRunWindows() {
  int kept = 0;
  for (int i = 0; i < displayRun.count; ++i) {
    if (displayRun.windows[i].window) displayRun.windows[kept++] = displayRun.windows[i];
  }
  displayRun.count = kept;
}

int IndexOf(HWND window) {
  for (int i = 0; i < displayRun.count; ++i) {
    if (window && displayRun.windows[i].window == window) return i;
  }
  return -1;
}

void RemoveEntry(int index) {
  for (int i = index + 1; i < displayRun.count; ++i)
    displayRun.windows[i - 1] = displayRun.windows[i];
  --displayRun.count;
}

// The handles of the run's windows of one kind, copied: destroying them changes the table.
int CollectWindows(RunWindowKind kind, HWND* handles) {
  int n = 0;
  for (int i = 0; i < displayRun.count; ++i) {
    if (displayRun.windows[i].place.kind == kind && displayRun.windows[i].window) {
      handles[n++] = displayRun.windows[i].window;
    }
  }
  return n;
}

void DestroyCovers() {
  HWND covers[MaxRunWindows];
  int n = CollectWindows(RunWindowKind::Cover, covers);
  bool arranging = displayRun.arranging;
  displayRun.arranging = true;
  for (int i = 0; i < n; ++i) {
    if (IsWindow(covers[i])) DestroyWindow(covers[i]);
  }
  displayRun.arranging = arranging;
}

void ActivateLead() {
  HWND lead = LeadSaverWindow();
  if (lead && GetForegroundWindow() != lead) SetForegroundWindow(lead);
}

// The loop is over, yet a saver whose procedure posted the quit message itself left its windows:
// they go now, so that none draws or takes input while the run waits for its timers.
void DestroyLeftSaverWindows() {
  if (RunSaverWindowCount() == 0) return;
  Trace("Several monitors: the message loop ended with saver windows left; destroying them");
  DestroyRunSaverWindows();
  // Their WM_DESTROY posted the quit message again (the framework's for the last window, often
  // the saver's own too): the loop it was for is over, and left queued it would end the caller's
  // next loop at once.
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

}  // namespace

bool StartDisplayRun(HWND (*makeSaverWindow)(const ScreenBox& area)) {
  EndDisplayRun();
  makeRunSaverWindow = makeSaverWindow;
  RunPlan plan = PlanForMonitorsNow();
  displayRun.count = plan.count;
  for (int i = 0; i < plan.count; ++i) displayRun.windows[i] = {nullptr, plan.windows[i]};
  displayRun.active = true;
  displayRun.arranging = true;
  // Once for the run: the windows made for monitors plugged in later do not start it again.
  StartInputSession();
  // The first window first: when it cannot be made, nothing else was.
  MakeRunWindow(0);
  if (!displayRun.windows[0].window) {
    displayRun.arranging = false;
    EndDisplayRun();
    return false;
  }
  for (int i = 1; i < plan.count; ++i) MakeRunWindow(i);
  CompactRunWindows();
  displayRun.arranging = false;
  FitCoversToLead();
  // Even a run on one monitor covers the monitors plugged in while it runs.
  displayRun.watcher = MakeDisplayWatcher();
  if (displayRun.watcher) StartPowerWatch(displayRun.watcher);
  if (displayRun.watcher) StartRunPads(displayRun.watcher);
  if (displayRun.count > 1) ActivateLead();
  return true;
}

void EndDisplayRun() {
  EndRunPads();
  if (displayRun.watcher) EndPowerWatch();
  DestroyLeftSaverWindows();
  DestroyCovers();
  if (displayRun.watcher && IsWindow(displayRun.watcher)) DestroyWindow(displayRun.watcher);
  displayRun.watcher = nullptr;
  displayRun.count = 0;
  displayRun.active = false;
  displayRun.arranging = false;
  displayRun.making = -1;
}

void RelayoutDisplayRun() {
  if (!displayRun.active || currentPrefs.debugMode) return;
  RunPlan plan = PlanForMonitorsNow();
  PlannedWindow existing[MaxRunWindows];
  int existingCount = displayRun.count;
  for (int i = 0; i < existingCount; ++i) existing[i] = displayRun.windows[i].place;
  RelayoutMatch match = MatchRelayout(existing, existingCount, plan);

  HWND gone[MaxRunWindows];
  int goneCount = 0;
  RunWindow next[MaxRunWindows] = {};
  for (int i = 0; i < existingCount; ++i) {
    HWND window = displayRun.windows[i].window;
    if (match.placeOf[i] < 0) {
      gone[goneCount++] = window;
    } else {
      next[match.placeOf[i]] = {window, plan.windows[match.placeOf[i]]};
    }
  }
  displayRun.arranging = true;
  displayRun.count = plan.count;
  bool madeSaver = false;
  for (int j = 0; j < plan.count; ++j) {
    displayRun.windows[j] = next[j];
    if (!match.taken[j]) displayRun.windows[j].place = plan.windows[j];
  }
  // New windows first: the run must never be left without a saver window.
  for (int j = 0; j < plan.count; ++j) {
    if (match.taken[j]) {
      PlaceRunWindow(displayRun.windows[j].window, displayRun.windows[j].place.area);
    } else {
      MakeRunWindow(j);
      madeSaver = madeSaver || displayRun.windows[j].place.kind == RunWindowKind::Saver;
    }
  }
  CompactRunWindows();
  for (int i = 0; i < goneCount; ++i) {
    if (IsWindow(gone[i])) DestroyWindow(gone[i]);
  }
  displayRun.arranging = false;
  FitCoversToLead();
  if (saverInput.dialogActive) {
    // The dialog open over the first window keeps the activation, and no window may cover it.
    KeepRunWindowsBelowLead(true);
  } else if (madeSaver) {
    ActivateLead();
  }
  Trace("Several monitors: the run's windows follow the monitors' new layout");
}

HWND LeadSaverWindow() {
  for (int i = 0; i < displayRun.count; ++i) {
    const RunWindow& entry = displayRun.windows[i];
    if (entry.place.kind == RunWindowKind::Saver && entry.place.number == 0) return entry.window;
  }
  return nullptr;
}

bool IsRunWindow(HWND window) {
  return IndexOf(window) >= 0;
}

bool IsRunSaverWindow(HWND window) {
  int index = IndexOf(window);
  return index >= 0 && displayRun.windows[index].place.kind == RunWindowKind::Saver;
}

int RunSaverWindowCount() {
  HWND savers[MaxRunWindows];
  return CollectWindows(RunWindowKind::Saver, savers);
}

const RunWindow* FindRunSaverWindow(HWND window) {
  int index = IndexOf(window);
  if (index >= 0) {
    return displayRun.windows[index].place.kind == RunWindowKind::Saver ? &displayRun.windows[index]
                                                                        : nullptr;
  }
  // In its WM_CREATE, the window being made is not listed yet.
  if (window && displayRun.making >= 0 && !displayRun.windows[displayRun.making].window &&
      displayRun.windows[displayRun.making].place.kind == RunWindowKind::Saver &&
      !GetParent(window)) {
    return &displayRun.windows[displayRun.making];
  }
  return nullptr;
}

bool LeaveDisplayRun(HWND window) {
  if (!displayRun.active) return true;
  int index = IndexOf(window);
  if (index < 0) return false;
  bool saver = displayRun.windows[index].place.kind == RunWindowKind::Saver;
  RemoveEntry(index);
  if (!saver || RunSaverWindowCount() > 0) return false;
  DestroyCovers();
  return true;
}

void DestroyRunSaverWindows() {
  HWND savers[MaxRunWindows];
  int n = CollectWindows(RunWindowKind::Saver, savers);
  HWND lead = LeadSaverWindow();
  for (int i = 0; i < n; ++i) {
    if (savers[i] != lead && IsWindow(savers[i])) DestroyWindow(savers[i]);
  }
  if (lead && IsWindow(lead)) DestroyWindow(lead);
}

void KeepRunWindowsBelowLead(bool below) {
  HWND lead = LeadSaverWindow();
  for (int i = 0; i < displayRun.count; ++i) {
    HWND window = displayRun.windows[i].window;
    if (!window || window == lead) continue;
    SetWindowPos(window, below ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void FitCoversToLead() {
  HWND lead = LeadSaverWindow();
  RECT leadArea;
  if (!lead || !GetWindowRect(lead, &leadArea)) return;
  for (int i = 0; i < displayRun.count; ++i) {
    const RunWindow& entry = displayRun.windows[i];
    if (entry.place.kind != RunWindowKind::Cover || !entry.window) continue;
    const ScreenBox& area = entry.place.area;
    RECT cover = {area.left, area.top, area.right, area.bottom}, overlap;
    if (!IntersectRect(&overlap, &cover, &leadArea)) {
      SetWindowRgn(entry.window, nullptr, TRUE);  // all of it shows, as in any run
      continue;
    }
    HRGN shape = CreateRectRgn(0, 0, area.right - area.left, area.bottom - area.top);
    HRGN hole = CreateRectRgn(leadArea.left - area.left, leadArea.top - area.top,
                              leadArea.right - area.left, leadArea.bottom - area.top);
    if (shape && hole) CombineRgn(shape, shape, hole, RGN_DIFF);
    if (hole) DeleteObject(hole);
    // The system owns the region it takes.
    if (shape && !SetWindowRgn(entry.window, shape, TRUE)) DeleteObject(shape);
  }
}

void PlaceRunWindow(HWND window, const ScreenBox& area) {
  if (!window) return;
  SetWindowPos(window, HWND_TOPMOST, area.left, area.top, area.right - area.left,
               area.bottom - area.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace morvane

#include "carousel_run.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "child_saver.h"
#include "input_hooks.h"
#include "morvane.h"
#include "run_plan.h"
#include "saver_catalog.h"
#include "settings_store.h"
#include "trace.h"

namespace carousel {

namespace {

// The checks of every monitor run this often, on the ticks of the run's first window: a saver that
// ends is replaced within it, one that hangs within it and PingState::HangMs. The other windows
// tick seldom, only to take over when the first one goes (its monitor unplugged).
const LONG tickMs = 500;
const LONG otherTickMs = 1000;
// A saver that made no window by then is of no use on the monitor.
const int32_t windowWaitMs = 5000;
// After every saver of the list failed to start on a monitor in a row, it waits this long.
const uint32_t retryMs = 5000;
// The savers start once every monitor is covered, or after this long at the most.
const uint32_t coverWaitMs = 1000;

// One window of the run and the saver it shows.
struct Screen {
  HWND window = nullptr;
  bool fullScreen = false;
  ChildSaver child;
  bool placed = false;
  size_t place = 0;  // on the picker's ring
  size_t saver = NoSaver;
  uint32_t shownSinceMs = 0;
  uint32_t retryAtMs = 0;
  size_t failures = 0;
};

struct Run {
  bool loaded = false;
  Settings settings;
  std::vector<std::string> savers;
  std::unique_ptr<SaverPicker> picker;
  HANDLE job = nullptr;
  std::vector<std::unique_ptr<Screen>> screens;
  bool displayOff = false;
  bool sessionLocked = false;
  uint32_t blindSinceMs = 0;
  uint32_t sameShownSinceMs = 0;
  POINT pointer = {};
  bool pointerKnown = false;
  bool dialogActive = false;
  bool covered = false;
  uint32_t firstTickMs = 0;
};

Run run;

uint32_t Now() {
  return GetTickCount();
}

bool Blinded() {
  return run.displayOff || run.sessionLocked;
}

Screen* Find(HWND window) {
  for (auto& screen : run.screens) {
    if (screen->window == window) return screen.get();
  }
  return nullptr;
}

const char* FileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

int MonitorNumber(const Screen& screen) {
  return screen.fullScreen ? ScrGetWindowMonitor(screen.window, nullptr) : -1;
}

void LoadRun() {
  if (run.loaded) return;
  run.loaded = true;
  run.settings = ReadSettings();
  run.savers = UsableSavers(run.settings);
  run.picker.reset(new SaverPicker(run.savers.size(), run.settings.monitors, run.settings.order,
                                   GetTickCount() ^ GetCurrentProcessId()));
  // Null once this process is in the job: the savers are then in it from their start.
  run.job = MakeChildJob();
  Trace("%u saver(s), %s monitors, %s order, cycle %lu s", static_cast<unsigned>(run.savers.size()),
        MonitorChoiceText(run.settings.monitors), OrderChoiceText(run.settings.order),
        static_cast<unsigned long>(run.settings.cycleSeconds));
}

// Starts a saver of the list in the screen; on failure the next place is tried at the next tick,
// and after the whole list failed in a row, a while later.
void StartSaver(Screen& screen, size_t saver) {
  screen.child.Stop(0);
  screen.saver = saver;
  screen.shownSinceMs = Now();
  InvalidateRect(screen.window, nullptr, TRUE);
  if (screen.saver == NoSaver) return;
  const std::string& path = run.savers[screen.saver];
  if (screen.child.Start(path, screen.window, run.job)) {
    screen.failures = 0;
    Trace("monitor %d shows %s (process %lu)", MonitorNumber(screen), FileName(path),
          screen.child.ProcessId());
    return;
  }
  if (++screen.failures >= run.savers.size()) {
    screen.failures = 0;
    screen.retryAtMs = Now() + retryMs;
  }
}

void Show(Screen& screen, size_t place) {
  screen.placed = true;
  screen.place = place;
  StartSaver(screen, run.picker->SaverAt(place));
}

// Same: every monitor moves on to the next saver together.
void ShowEverywhere(size_t place) {
  run.sameShownSinceMs = Now();
  for (auto& screen : run.screens) {
    if (screen->fullScreen) Show(*screen, place);
  }
}

std::vector<size_t> ShownElsewhere(const Screen& screen) {
  std::vector<size_t> shown;
  for (auto& other : run.screens) {
    if (other.get() != &screen && other->fullScreen && other->child.Started()) {
      shown.push_back(other->saver);
    }
  }
  return shown;
}

void Replace(Screen& screen, const char* why) {
  Trace("monitor %d: %s %s", MonitorNumber(screen), FileName(run.savers[screen.saver]), why);
  const size_t place = run.picker->Replace(screen.place, ShownElsewhere(screen));
  if (run.picker->Shared()) {
    ShowEverywhere(place);
  } else {
    Show(screen, place);
  }
}

// The saver's health: ended, made no window, stopped answering.
bool CheckChild(Screen& screen, uint32_t now) {
  if (!screen.child.Started()) return false;
  if (screen.child.Ended()) {
    Trace("saver process %lu ended with %lu", screen.child.ProcessId(), screen.child.ExitCode());
    Replace(screen, "ended");
    return true;
  }
  if (!screen.child.Window()) {
    if (screen.child.Adopt(screen.window)) {
      Trace("monitor %d: the saver's window is in place", MonitorNumber(screen));
    } else if (static_cast<int32_t>(now - screen.child.StartedMs()) >= windowWaitMs) {
      Replace(screen, "made no window");
      return true;
    }
    return false;
  }
  if (screen.child.Hung(now)) {
    Replace(screen, "stopped answering");
    return true;
  }
  return false;
}

void CheckCycle(Screen& screen, uint32_t now) {
  if (run.picker->Shared()) {
    if (CycleOver(run.settings.cycleSeconds, run.sameShownSinceMs, now)) {
      ShowEverywhere(run.picker->Step(screen.place));
    }
  } else if (CycleOver(run.settings.cycleSeconds, screen.shownSinceMs, now)) {
    Show(screen, run.picker->Step(screen.place));
  }
}

// NOTE: the pointer over a saver's window of another process moves over that window, not ours
// (disabled, it should pass the movement on, but not every system routes it so): the pointer's
// place, looked at on the ticks, goes to the framework as a movement on our window, so that its
// threshold decides. Keys and buttons come through input_hooks.
void LookAtPointer(HWND window) {
  if (run.dialogActive) return;
  POINT cursor = {};
  if (!GetCursorPos(&cursor)) return;
  const bool moved = run.pointerKnown && (cursor.x != run.pointer.x || cursor.y != run.pointer.y);
  run.pointer = cursor;
  run.pointerKnown = true;
  if (!moved) return;
  ScreenToClient(window, &cursor);
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(cursor.x, cursor.y));
}

void TickFullScreen(Screen& screen, uint32_t now) {
  if (!screen.child.Started()) {
    if (run.savers.empty() || static_cast<int32_t>(now - screen.retryAtMs) < 0) return;
    // A first start, or the next place after a start that failed.
    const int monitor = MonitorNumber(screen);
    Show(screen, screen.placed ? screen.place + 1 : run.picker->Join(monitor < 0 ? 0 : monitor));
    return;
  }
  if (!CheckChild(screen, now)) CheckCycle(screen, now);
}

// A preview shows the list's first saver, once; when it ends, Carousel's own picture.
void TickPreview(Screen& screen) {
  if (!screen.placed && !run.savers.empty()) {
    screen.placed = true;
    StartSaver(screen, 0);
    return;
  }
  if (screen.child.Started() && screen.child.Ended()) {
    Trace("the preview's saver ended");
    screen.child.Stop();
    InvalidateRect(screen.window, nullptr, TRUE);
  } else if (screen.child.Started()) {
    screen.child.Adopt(screen.window);
  }
}

Screen* FirstFullScreen() {
  for (auto& screen : run.screens) {
    if (screen->fullScreen) return screen.get();
  }
  return nullptr;
}

// Every monitor has its window of the run, shown; or the run gave up waiting for that (a monitor
// the framework leaves out, a monitor going while the run starts).
bool EveryMonitorCovered() {
  if (run.covered) return true;
  const uint32_t now = Now();
  if (!run.firstTickMs) run.firstTickMs = now;
  int shown = 0, fullScreen = 0;
  for (auto& screen : run.screens) {
    if (!screen->fullScreen) continue;
    ++fullScreen;
    if (IsWindowVisible(screen->window)) ++shown;
  }
  const bool all = fullScreen == 0 || shown >= GetSystemMetrics(SM_CMONITORS);
  run.covered = all || now - run.firstTickMs >= coverWaitMs;
  return run.covered;
}

}  // namespace

void OpenScreen(HWND window, int mode) {
  std::unique_ptr<Screen> screen(new Screen);
  screen->window = window;
  screen->fullScreen = mode == WINDOWMODE_FULLSCREEN;
  if (screen->fullScreen) {
    if (run.sameShownSinceMs == 0) run.sameShownSinceMs = Now();
    WatchInput(window);
  }
  run.screens.push_back(std::move(screen));
}

void CloseScreen(HWND window) {
  auto found =
      std::find_if(run.screens.begin(), run.screens.end(),
                   [window](const std::unique_ptr<Screen>& s) { return s->window == window; });
  if (found == run.screens.end()) return;
  (*found)->child.Stop();
  run.screens.erase(found);
  // The input goes to another window of the run while there is one.
  HWND other = nullptr;
  for (auto& screen : run.screens) {
    if (screen->fullScreen) other = screen->window;
  }
  if (other) {
    WatchInput(other);
  } else {
    StopWatchingInput();
  }
}

LONG TickScreen(HWND window) {
  Screen* screen = Find(window);
  if (!screen) return -1;
  // Covering the monitors comes first: nothing is read or started before they are covered.
  if (!EveryMonitorCovered()) return tickMs;
  LoadRun();
  if (!screen->fullScreen) {
    TickPreview(*screen);
    return tickMs;
  }
  if (screen != FirstFullScreen()) return otherTickMs;
  LookAtPointer(window);
  // A replacement may change the screens' savers (with "same", all of them), never the list of
  // screens. The time is read for each: a saver started for an earlier one is younger than the
  // tick.
  for (auto& each : run.screens) {
    if (each->fullScreen) TickFullScreen(*each, Now());
  }
  return tickMs;
}

void FitScreen(HWND window) {
  if (Screen* screen = Find(window)) screen->child.Fit(window);
}

bool ScreenShowsSaver(HWND window) {
  Screen* screen = Find(window);
  return screen && screen->child.Window();
}

void SetBlind(Blind reason, bool blind) {
  const bool before = Blinded();
  (reason == Blind::DisplayOff ? run.displayOff : run.sessionLocked) = blind;
  if (Blinded() == before) return;
  const uint32_t now = Now();
  if (Blinded()) {
    run.blindSinceMs = now;
    for (auto& screen : run.screens) screen->child.Hold();
    Trace("nobody sees the run: savers held");
    return;
  }
  // The cycle counts what was seen: the time held is added to each saver's.
  const uint32_t held = now - run.blindSinceMs;
  run.sameShownSinceMs += held;
  for (auto& screen : run.screens) {
    screen->shownSinceMs += held;
    screen->child.Release(now);
  }
  Trace("the run is seen again: savers released");
}

void SetDialogActive(bool active) {
  run.dialogActive = active;
  PauseInputWatch(active);
  // Where the dialog left the pointer is where the run measures from again.
  if (!active) run.pointerKnown = false;
}

}  // namespace carousel

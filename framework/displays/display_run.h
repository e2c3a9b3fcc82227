#pragma once
// The windows of a full-screen run over the monitors: the saver windows the policy asks for, the
// framework's black covers over the other monitors, and the watcher that lays them out again when
// the monitors change. Everything here belongs to the saver thread.
#include <windows.h>

#include "displays/display_layout.h"

namespace morvane {

struct RunWindow {
  HWND window;  // null while it is being made
  PlannedWindow place;
};

// The monitors as the system lists them now, up to capacity; the number written. Never 0: with
// no monitor to be had, the screen's size at (0,0).
typedef int (*MonitorLister)(DesktopMonitor* monitors, int capacity);
int ListSystemMonitors(DesktopMonitor* monitors, int capacity);

struct DisplayRun {
  int policy = PolicyPrimary;                       // chosen before a run, kept across runs
  MonitorLister listMonitors = ListSystemMonitors;  // tests list monitors of their own
  bool active = false;     // a full-screen run laid its windows out and has not ended
  bool arranging = false;  // windows are being made, moved or destroyed by the run itself
  int making = -1;         // the index in windows of the window being made, else -1
  HWND watcher = nullptr;  // hidden, told of display changes
  int count = 0;
  RunWindow windows[MaxRunWindows];
};

extern DisplayRun displayRun;

// Lays out the windows of a full-screen run through makeSaverWindow, which makes one saver window
// on the given area; the saver window numbered 0 is made last, so that it ends up active. Starts
// the run's input session, once for the whole run. False (nothing left behind) when that window
// cannot be made.
bool StartDisplayRun(HWND (*makeSaverWindow)(const ScreenBox& area));
// Destroys whatever the run left (saver windows still there when the saver posted the quit message
// itself, covers, the watcher) and forgets the run. Called once the run's message loop is over:
// any quit message the destroyed windows post is taken off the queue.
void EndDisplayRun();
// Makes, moves and destroys windows after the monitors changed; never the saver window numbered 0,
// over which the framework's dialogs open.
void RelayoutDisplayRun();

// The run's saver window numbered 0: the one that asks for the password. Null outside a run.
HWND LeadSaverWindow();
bool IsRunWindow(HWND window);
bool IsRunSaverWindow(HWND window);
int RunSaverWindowCount();
// The run entry of a saver window (also while it is being made), else null.
const RunWindow* FindRunSaverWindow(HWND window);
// A saver window of the run is gone: it leaves the run. True when it was the run's last saver
// window, which also destroys the covers: the run is over.
bool LeaveDisplayRun(HWND window);
// Destroys every saver window of the run, the lead last.
void DestroyRunSaverWindows();

// The framework's own windows of a run (cover_window.cpp, display_watch.cpp).
HWND MakeCoverWindow(const ScreenBox& area);
HWND MakeDisplayWatcher();

// While a framework dialog of the lead is open, the run's other windows leave the topmost band, so
// that they cannot hide the dialog; afterwards they are topmost again.
void KeepRunWindowsBelowLead(bool below);

// Shapes each cover to leave out the lead saver window wherever it is: a spanning window that
// the saver shrinks uncovers black, never the desktop. Covers and saver windows are all topmost,
// so the shape, not their order, keeps a cover off the saver's picture (NOTE: under Wine the X
// screen kept covers above a saver window that Wine listed above them). Called after the run
// lays its windows out and when the lead moves or changes size.
void FitCoversToLead();

// Places a run window on its area above everything, without activating it.
void PlaceRunWindow(HWND window, const ScreenBox& area);

}  // namespace morvane

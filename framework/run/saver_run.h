#pragma once
// A saver run: what the saver-main entry point leaves for it, the executors of its variant, and
// the dispatcher. Everything here belongs to the thread that called the entry point.
#include <windows.h>

#include "displays/display_layout.h"
#include "run/command_line.h"
#include "morvane.h"

namespace morvane {

// The five procedures through which a saver-main variant creates windows and runs dialogs.
struct SaverExecutors {
  HWND (*makePreviewWindow)(HWND parent, bool inMonitor);  // the new window, or null
  HWND (*makeSaverWindow)(const ScreenBox& area);          // the new window, or null
  int (*executeUserDialog)(HWND hiddenDialog, LPPROPSHEETHEADERA header);
  int (*executeAbout)(HWND parent);
  int (*executeChangePassword)(HWND parent);  // 1 done, 2 failed, or the hook's or host's value
};

// The executors of each saver-main variant; a test installs them as the variant would.
extern const SaverExecutors plainExecutors;   // ScrMain
extern const SaverExecutors hookedExecutors;  // ScrMainHooks
extern const SaverExecutors hostedExecutors;  // ScrMainHost

// What the saver-main entry point leaves for the run: set up afresh by each entry point, read by
// the dispatcher, the executors and the dialogs. Tests save and restore it as a whole.
struct SaverRun {
  HINSTANCE instance = nullptr;  // of every saver window, searched first for resources
  bool hasOwnAbout = false;      // the saver's module holds dialog 2004 (ScrMain only)
  DLGPROC pageProc = nullptr;    // the saver's settings page (ScrMain only; may be null)
  DWORD reserved = 0;            // ScrMain's last argument, kept and never read
  SaverExecutors executors = {};
  // The hooks of ScrMainHooks, each null for the framework's own way.
  ScrCreateHook createHook = nullptr;
  ScrSheetHook sheetHook = nullptr;
  ScrAboutHook aboutHook = nullptr;
  ScrPasswordHook passwordHook = nullptr;
  HWND hostWindow = nullptr;  // ScrMainHost's host
};

extern SaverRun saverRun;

// The start of every saver-main variant: initialises the library and starts a new SaverRun; false
// while a run is in progress (the variant then returns 2, and the running run keeps its state).
bool BeginSaverMain();
// Registers the saver window class for this run, replacing one an earlier run left behind.
void RegisterSaverClass(HINSTANCE instance, const char* className, WNDPROC procedure, int brush);

// Runs the mode the command line asks for and returns its result.
int RunSaver(HINSTANCE instance, const SaverExecutors& executors);

// What the command line asks for, with its window: the companion's or the numbered one for a
// preview (Refuse when neither is a window), the numbered one or the foreground window for a
// password change, the foreground window or none for the configuration.
struct SaverRequest {
  SaverAction action;
  HWND parent;
};
SaverRequest ResolveSaverCommand(const SaverCommand& command);

// The companion check of the preview switch: the first child of the companion program's window
// (started when it is not running) when the switch names it; null otherwise. Failures after the
// name matched are shown to the user in a box captioned with the companion's name.
HWND FindCompanionWindow(const char* switchText);

}  // namespace morvane

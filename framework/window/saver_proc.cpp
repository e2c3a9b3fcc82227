#include "window/saver_proc.h"

#include "config/config_dialog.h"
#include "core/library.h"
#include "core/own_messages.h"
#include "displays/display_run.h"
#include "password/passwords.h"
#include "power/power_state.h"
#include "settings/prefs.h"
#include "window/saver_state.h"
#include "timer/frame_figures.h"
#include "timer/timer.h"
#include "core/trace.h"
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" LRESULT WINAPI DefSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EnsureLibrary();
  switch (message) {
    case WM_CREATE: OnCreate(window, reinterpret_cast<CREATESTRUCTA*>(lParam)); break;
    case WM_DESTROY: OnDestroy(window); break;
    case WM_NCDESTROY: OnNcDestroy(window); break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE: OnDeactivation(window, message, wParam, lParam); break;
    case WM_CLOSE: return OnClose(window);
    case WM_SETCURSOR: OnSetCursor(window); break;
    case WM_KEYDOWN: OnKeyDown(window, wParam); break;
    case WM_KEYUP: OnKeyUp(window); break;
    case WM_SYSCOMMAND:
      if (SwallowsSysCommand(window, wParam, lParam)) return 0;
      break;
    case WM_MOUSEMOVE: OnMouseMove(window); break;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN: OnClosingClick(window); break;
    case WM_RBUTTONDOWN: OnActiveConfigClick(window); break;
    case WM_POWERBROADCAST: OnPowerBroadcast(wParam, lParam); break;
    case WM_WTSSESSION_CHANGE: OnSessionChange(wParam); break;
    case WM_DISPLAYCHANGE: NoteDisplayChange(); break;
    case SCRM_VERIFYPW: return OnVerifyPassword(window);
    case SCRM_ACTIVECONFIG: return OnActiveConfig(window);
    case SCRM_SETTINGSCHANGED: return OnSettingsChanged(window, wParam, lParam);
    case SCRM_TIMER: return OnUnhandledTick();
    case SCRM_DIALOGACTIVE: OnDialogActive(wParam); break;
    case SCRM_INTERNAL: return OnTimerRequest(window, wParam, lParam);
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

namespace morvane {

bool IsFullScreen(HWND window) {
  return GetParent(window) == nullptr;
}

void TraceWindow(HWND window, const char* text) {
  TraceTagged(IsFullScreen(window) ? "full DefSaverProc" : "preview DefSaverProc", text);
}

void PostClose(HWND window) {
  PostMessageA(window, WM_CLOSE, 0, 0);
}

namespace {

// The kind the window was created as: from the framework's creation record when it carries one
// (which is then released). A hook or host may create the window without passing the record on:
// then the kind the framework is asking for, and only when it asks for none, where the window sits.
int TakeWindowMode(HWND window, CREATESTRUCTA* create) {
  int mode;
  if (create && TakeSaverCreateParams(create->lpCreateParams, &mode)) {
    create->lpCreateParams = nullptr;
    return mode;
  }
  if (OutstandingRequestMode(&mode)) return mode;
  return RecordedWindowMode(window);
}

// Whether closing may go ahead: no password needed, or the password was accepted. The cursor
// origin moves to wherever the password prompt left the cursor.
bool PasswordAllowsClosing(HWND window) {
  if (!NeedPassword()) return true;
  SendOwnMessage(window, SCRM_DIALOGACTIVE, 1, 0);
  TraceWindow(window, "WM_CLOSE: starting verify-password message");
  LRESULT accepted = SendMessageA(window, SCRM_VERIFYPW, 0, 0);
  TraceWindow(window, "WM_CLOSE: ending verify-password message");
  SendOwnMessage(window, SCRM_DIALOGACTIVE, 0, 0);
  ResetCursorOrigin();
  return accepted != 0;
}

}  // namespace

void SetUpSaverWindow(HWND window, int mode) {
  if (HasRecordedWindowMode(window)) return;
  LoadSaverSettings();
  RecordWindowMode(window, mode);
  // Previews take the settings only: one opened on a configuration page over the running saver
  // must not clear its dialog flag or restart its password delay. Nor does a window a full-screen
  // run makes, whose session the run started once for all its windows (StartDisplayRun).
  if (IsFullScreen(window) && !displayRun.active) StartInputSession();
  CreateTimerSlot(window);
  if (!currentPrefs.noTimers) PostMessageA(window, SCRM_INTERNAL, SCRINTERNAL_STARTTIMER, 0);
}

void OnCreate(HWND window, CREATESTRUCTA* create) {
  TraceWindow(window, "WM_CREATE...");
  SetUpSaverWindow(window, TakeWindowMode(window, create));
}

void OnDestroy(HWND window) {
  TraceWindow(window, "WM_DESTROY: tidying up");
  ScrStopTimer(window);
  if (IsFullScreen(window)) TraceFrameFigures(window);
  RemoveTimerSlot(window);
  int mode = RecordedWindowMode(window);
  ForgetWindowMode(window);
  if (!EndsMessageLoop(mode)) return;
  // A run over several monitors ends with its last saver window.
  if (mode == WINDOWMODE_FULLSCREEN && !LeaveDisplayRun(window)) return;
  TraceWindow(window, "POSTQUITMESSAGE from WM_DESTROY!!");
  PostQuitMessage(2);
}

LRESULT OnClose(HWND window) {
  if (!IsFullScreen(window)) {
    DestroyWindow(window);
    return 0;
  }
  if (saverInput.dialogActive) {
    TraceWindow(window, "WM_CLOSE: active dialog, so ignoring close request");
    return 0;
  }
  // Input on any monitor ends the run once, with one password prompt: the first window's.
  HWND lead = LeadSaverWindow();
  if (lead && lead != window && IsRunSaverWindow(window)) {
    TraceWindow(window, "WM_CLOSE: passing it to the run's first window");
    PostClose(lead);
    return 0;
  }
  TraceWindow(window, "WM_CLOSE: maybe we need a password");
  if (PasswordAllowsClosing(window)) {
    TraceWindow(window, "WM_CLOSE: password OK, so doing a DestroyWindow");
    if (IsRunSaverWindow(window)) {
      DestroyRunSaverWindows();
    } else {
      DestroyWindow(window);
    }
  } else {
    TraceWindow(window, "WM_CLOSE: not OK, so doing nothing");
  }
  return 0;
}

LRESULT OnVerifyPassword(HWND window) {
  TraceWindow(window, "SCRM_VERIFYPW: going to DoVerifyPwDialog");
  if (DoVerifyPwDialog(window) == IDOK) {
    Trace("SCRM_VERIFYPW: DoVerifyPw returned IDOK: returning TRUE!");
    return 1;
  }
  Trace("SCRM_VERIFYPW: DoVerifyPw returned IDCANCEL: returning FALSE");
  return 0;
}

LRESULT OnActiveConfig(HWND window) {
  TraceWindow(window, "SCRM_ACTIVECONFIG: going to pop up activeconfig");
  DoConfigDialog(window, 1);
  return 1;
}

LRESULT OnSettingsChanged(HWND window, WPARAM flags, LPARAM settings) {
  const ScrSettings* changed = reinterpret_cast<const ScrSettings*>(settings);
  if (!IsFullScreen(window) || (flags & 0xFFF) != 1 || !changed) return 1;
  saverInput.passwordDelay = changed->passwordDelay;
  saverInput.mouseThreshold = changed->mouseThreshold;
  saverInput.activeConfig = changed->activeConfig;
  WakeTimer(window);
  return 1;
}

LRESULT OnUnhandledTick() {
  const char stars[] =
      "******************************************************************************";
  static_assert(sizeof stars == 79, "a line of 78 asterisks");
  Trace(stars);
  Trace(
      "** SCRM_TIMER: being turned off. If you want it to keep going, you must return its period.");
  Trace(stars);
  return -1;
}

void OnDialogActive(WPARAM active) {
  saverInput.dialogActive = static_cast<int>(active);
  // The dialog belongs to the run's first window: the run's other topmost windows would hide it.
  KeepRunWindowsBelowLead(active != 0);
}

}  // namespace morvane

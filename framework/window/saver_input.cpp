#include "window/saver_proc.h"

#include "morvane.h"
#include "core/own_messages.h"
#include "displays/display_run.h"
#include "password/passwords.h"
#include "power/power_state.h"
#include "settings/prefs.h"
#include "window/saver_state.h"
#include "core/trace.h"

namespace morvane {

namespace {

// Shift, Control and Scroll Lock open the configuration over a saver that allows it.
bool IsActiveConfigKey(WPARAM key) {
  return key == VK_SHIFT || key == VK_CONTROL || key == VK_SCROLL;
}

bool ClosesOnMouseAndDeactivation(HWND window) {
  return IsFullScreen(window) && !currentPrefs.debugMode;
}

// The run's own windows being made, moved, activated or clicked do not end it. WM_ACTIVATE names
// the window that gains the activation; with several windows, WM_NCACTIVATE leaves the decision to
// WM_ACTIVATE, which always follows it, and WM_ACTIVATEAPP means another program.
bool ActivationStaysInRun(UINT message, LPARAM other) {
  if (displayRun.arranging) return true;
  if (message == WM_ACTIVATEAPP) return false;
  if (IsRunWindow(reinterpret_cast<HWND>(other))) return true;
  return message == WM_NCACTIVATE && displayRun.count > 1;
}

// With a password due and the author asking for it, the configuration opens only after the
// password was accepted, which also restarts the password delay.
bool PasswordAllowsConfiguration(HWND window) {
  if (!currentPrefs.activeConfigPassword || !NeedPassword()) return true;
  if (!SendMessageA(window, SCRM_VERIFYPW, 0, 0)) return false;
  saverInput.startTick = GetTickCount();
  return true;
}

// The window the framework's dialogs open over: in a run over several monitors its first saver
// window, as for the password prompt, which is the one a change of monitors never destroys.
HWND DialogWindowFor(HWND window) {
  HWND lead = LeadSaverWindow();
  return lead && IsRunSaverWindow(window) ? lead : window;
}

void RunActiveConfigCheck(HWND window) {
  if (saverInput.dialogActive) {
    Trace("WM_ACTIVE: but dialog is active, so ignoring");
    return;
  }
  if (!currentPrefs.allowActiveConfig || !saverInput.activeConfig) {
    Trace("WM_ACTIVE: but it's not enabled, so sending close");
    PostClose(window);
    return;
  }
  HWND owner = DialogWindowFor(window);
  TraceWindow(owner, "Starting active config dialog");
  SendOwnMessage(owner, SCRM_DIALOGACTIVE, 1, 0);
  if (PasswordAllowsConfiguration(owner)) SendOwnMessage(owner, SCRM_ACTIVECONFIG, 0, 0);
  SendOwnMessage(owner, SCRM_DIALOGACTIVE, 0, 0);
  TraceWindow(owner, "Finished active config dialog");
  ResetCursorOrigin();
}

}  // namespace

void OnDeactivation(HWND window, UINT message, WPARAM state, LPARAM other) {
  if (!ClosesOnMouseAndDeactivation(window) || LOWORD(state) != 0) return;
  if (ActivationStaysInRun(message, other)) {
    TraceWindow(window, "Deactivation: another window of the run takes over, so ignoring it.");
    return;
  }
  if (saverInput.dialogActive) {
    TraceWindow(window, "WM_ACTIVATE: but a dialog is active, so ignoring it.");
    return;
  }
  TraceWindow(window, "WM_ACTIVATE: about to inactivate window, so sending Close");
  PostClose(window);
}

void OnSetCursor(HWND window) {
  SetCursor(ClosesOnMouseAndDeactivation(window) ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
}

void OnKeyDown(HWND window, WPARAM key) {
  if (!IsFullScreen(window)) return;
  if (IsActiveConfigKey(key)) {
    Trace("WM_KEYDOWN: active-config key pressed. Checking...");
    RunActiveConfigCheck(window);
  } else if (saverInput.dialogActive) {
    Trace("WM_KEYDOWN: Misc. key pressed, but active dialog, so ignoring it.");
  } else {
    Trace("WM_KEYDOWN: Misc key pressed: sending Close");
    PostClose(window);
  }
}

// A gamepad is a key that opens no active configuration: the same close, password and delay.
void OnPadInput(HWND window) {
  if (!IsFullScreen(window)) return;
  if (saverInput.dialogActive) {
    Trace("Gamepad: used, but active dialog, so ignoring it.");
    return;
  }
  Trace("Gamepad: used: sending Close");
  PostClose(window);
}

void OnKeyUp(HWND window) {
  if (IsFullScreen(window)) TraceWindow(window, "WM_KEYUP: ignoring it");
}

bool SwallowsSysCommand(HWND window, WPARAM command, LPARAM lParam) {
  if (!IsFullScreen(window)) return false;
  // The low four bits of a system command are the system's own.
  switch (command & 0xFFF0) {
    case SC_MONITORPOWER:
      // The display goes dark as asked; no one sees the ticks meanwhile.
      OnMonitorPower(lParam);
      return false;
    case SC_SCREENSAVE:
      TraceWindow(window,
                  "WM_SYSCOMMAND: gobbling up a SC_SCREENSAVE to stop a new saver from running.");
      return true;
    case SC_CLOSE:
      if (currentPrefs.debugMode) {
        TraceWindow(window,
                    "WM_SYSCOMMAND: should be gobbling up a SC_CLOSE, but am not "
                    "because we're in debug mode.");
        return false;
      }
      TraceWindow(window, "WM_SYSCOMMAND: gobbling up a SC_CLOSE");
      return true;
    default: return false;
  }
}

void OnMouseMove(HWND window) {
  if (!ClosesOnMouseAndDeactivation(window) || !CursorMovedPastThreshold()) return;
  if (saverInput.dialogActive) {
    TraceWindow(window, "WM_MOUSEMOVE: but dialog active, so ignoring");
    return;
  }
  TraceWindow(window, "WM_MOUSEMOVE: gone beyond threshold, sending Close");
  PostClose(window);
}

void OnClosingClick(HWND window) {
  if (!IsFullScreen(window)) return;
  if (saverInput.dialogActive) {
    TraceWindow(window, "WM_LBUTTONDOWN: but a dialog is active, so ignoring it.");
    return;
  }
  TraceWindow(window, "WM_LBUTTONDOWN: sending Close");
  PostClose(window);
}

void OnActiveConfigClick(HWND window) {
  if (!IsFullScreen(window)) return;
  Trace("WM_RBUTTONDOWN: active-config. checking...");
  RunActiveConfigCheck(window);
}

}  // namespace morvane

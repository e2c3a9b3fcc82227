// The framework's window procedure in front of a saver of the SDK's library. It keeps the
// library's globals up to date, takes the framework's own messages, ends the run for a saver that
// answers WM_DESTROY itself, and keeps the saver's timers and painting waiting while nobody can
// see the screen (the display off or the session locked), so that such a saver costs next to
// nothing then, without knowing of it.
#include "scrnsave/scrnsave_run.h"

#include "core/own_messages.h"
#include "core/trace.h"
#include "displays/display_run.h"
#include "morvane.h"
#include "power/power_state.h"
#include "window/saver_proc.h"
#include "window/saver_state.h"

namespace morvane {

namespace {

LRESULT CallSaver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return scrnsaveParts.saverProc(window, message, wParam, lParam);
}

bool NobodySees(HWND window) {
  return IsFullScreen(window) && TicksPausedByPower();
}

// A message that is not a timer's or a paint request, handling sent messages meanwhile. Those
// two are never taken: the system makes them only for a thread that asks for them, so the
// thread then sleeps until something else comes.
bool TakeOtherMessage(MSG* message, bool wide) {
  auto peek = wide ? PeekMessageW : PeekMessageA;
  return peek(message, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
         peek(message, nullptr, WM_PAINT + 1, WM_TIMER - 1, PM_REMOVE) ||
         peek(message, nullptr, WM_TIMER + 1, 0xFFFFFFFF, PM_REMOVE);
}

// Runs the thread's messages, all but timers and paint requests, until the screen can be seen
// again or the window is gone; a quit message is put back for the run's own loop. True when the
// window is still there to draw.
bool HoldUntilSeen(HWND window) {
  TraceWindow(window, "scrnsave: nobody sees the screen: the saver's timers and painting wait");
  const bool wide = scrnsaveParts.wide;
  while (NobodySees(window) && IsWindow(window)) {
    MSG message;
    if (!TakeOtherMessage(&message, wide)) {
      // A message sent while peeking may have ended the wait already.
      if (NobodySees(window)) {
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT & ~(QS_TIMER | QS_PAINT),
                                    MWMO_INPUTAVAILABLE);
      }
      continue;
    }
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    TranslateMessage(&message);
    if (wide) {
      DispatchMessageW(&message);
    } else {
      DispatchMessageA(&message);
    }
  }
  if (!IsWindow(window)) return false;
  TraceWindow(window, "scrnsave: the screen is seen again: the saver draws");
  // What the saver painted before is stale, and a saver that paints only on request gets one.
  InvalidateRect(window, nullptr, FALSE);
  return true;
}

LRESULT OnTimer(HWND window, WPARAM id, LPARAM procedure) {
  if (NobodySees(window) && !HoldUntilSeen(window)) return 0;
  return CallSaver(window, WM_TIMER, id, procedure);
}

LRESULT OnPaint(HWND window) {
  if (NobodySees(window)) {
    ValidateRect(window, nullptr);
    HoldUntilSeen(window);
    return 0;
  }
  return CallSaver(window, WM_PAINT, 0, 0);
}

// The library's globals as the saver reads them in WM_CREATE: the window, and whether it is a
// preview.
LRESULT OnCreate(HWND window, LPARAM create) {
  if (!hMainWindow || !IsWindow(hMainWindow)) hMainWindow = window;
  if (GetParent(window)) fChildPreview = TRUE;
  return CallSaver(window, WM_CREATE, 0, create);
}

// The display's power the saver asks for is the framework's to know, whether or not the saver
// passes the request on.
LRESULT OnSysCommand(HWND window, WPARAM command, LPARAM lParam) {
  if ((command & 0xFFF0) == SC_MONITORPOWER && IsFullScreen(window)) OnMonitorPower(lParam);
  return CallSaver(window, WM_SYSCOMMAND, command, lParam);
}

// A saver that answers WM_DESTROY itself keeps it from DefSaverProc, which ends the run: the run
// would wait for ever.
LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallSaver(window, WM_DESTROY, wParam, lParam);
  if (HasRecordedWindowMode(window)) {
    TraceWindow(window, "scrnsave: WM_DESTROY did not reach DefScreenSaverProc: ending it here");
    DefSaverProc(window, WM_DESTROY, 0, 0);
  }
  return result;
}

// The covers over the other monitors follow a saver that moves or sizes its window (many size
// it to the primary monitor).
LRESULT OnWindowPosChanged(HWND window, LPARAM position) {
  if (window == LeadSaverWindow()) FitCoversToLead();
  return CallSaver(window, WM_WINDOWPOSCHANGED, 0, position);
}

// The framework's own messages are its to handle; the saver's own of the same numbers are the
// saver's.
LRESULT OnAppMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (TakeOwnMessageMark(window, message)) return DefSaverProc(window, message, wParam, lParam);
  return CallSaver(window, message, wParam, lParam);
}

LRESULT OnNcDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
  if (hMainWindow == window) hMainWindow = nullptr;
  return CallSaver(window, WM_NCDESTROY, wParam, lParam);
}

}  // namespace

// The framework's messages other than the password request (which the SDK's library sends the
// saver too) never reach the saver; the saver's own WM_APP messages of those numbers do.
LRESULT CALLBACK ScrnsaveWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window, lParam);
    case WM_TIMER: return OnTimer(window, wParam, lParam);
    case WM_PAINT: return OnPaint(window);
    case WM_SYSCOMMAND: return OnSysCommand(window, wParam, lParam);
    case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(window, lParam);
    case WM_DESTROY: return OnDestroy(window, wParam, lParam);
    case WM_NCDESTROY: return OnNcDestroy(window, wParam, lParam);
    case SCRM_ACTIVECONFIG:
    case SCRM_SETTINGSCHANGED:
    case SCRM_TIMER:
    case SCRM_DIALOGACTIVE:
    case SCRM_INTERNAL: return OnAppMessage(window, message, wParam, lParam);
    default: return CallSaver(window, message, wParam, lParam);
  }
}

}  // namespace morvane

// A hidden window of the run that the system tells of display changes (monitors added, removed,
// moved or resized) and of power and session changes, whatever the saver's own windows pass on;
// the run's gamepads tell it when one is used.
#include "displays/display_run.h"

#include "core/library.h"
#include "core/trace.h"
#include "gamepad/run_pads.h"
#include "power/power_state.h"

namespace morvane {

namespace {

const char watcherClass[] = "MorvaneDisplayWatchClass";

void OnDisplayChange() {
  Trace("WM_DISPLAYCHANGE: laying the run's windows out again");
  RelayoutDisplayRun();
}

LRESULT CALLBACK DisplayWatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DISPLAYCHANGE: OnDisplayChange(); return 0;
    case WM_POWERBROADCAST: OnPowerBroadcast(wParam, lParam); return TRUE;
    case WM_WTSSESSION_CHANGE: OnSessionChange(wParam); return 0;
    case PadInputMessage: OnRunPadInput(wParam); return 0;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND MakeDisplayWatcher() {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DisplayWatchProc;
  windowClass.hInstance = libraryState.module;
  windowClass.lpszClassName = watcherClass;
  if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    Trace("Display watcher: its class could not be registered; display changes go unseen");
    return nullptr;
  }
  // Top-level and hidden: broadcasts reach it, the user never sees it.
  return CreateWindowExA(WS_EX_TOOLWINDOW, watcherClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         libraryState.module, nullptr);
}

}  // namespace morvane

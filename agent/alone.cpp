#include "alone.h"

#include "agent_names.h"
#include "agent_state.h"
#include "agent_window.h"
#include "commands.h"
#include "saver_start.h"
#include "session_notice.h"
#include "trace.h"

namespace corners {

namespace {

const char aloneClass[] = "MorvaneHotCornersCommand";

LRESULT CALLBACK AloneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: OnSaverStartTimer(); return 0;
    case saverCheckedMessage: OnSaverChecked(lParam); return 0;
    case WM_WTSSESSION_CHANGE: OnSessionChange(wParam); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

bool RunAlone(HINSTANCE instance, const Switches& switches) {
  HWND window = MakeHiddenWindow(instance, aloneClass, AloneProc);
  if (!window) {
    Trace("command window not made (error %lu)", GetLastError());
    return false;
  }
  agentRun.window = window;
  agentRun.alone = true;
  WatchSession(window);
  ExecuteCommand(switches);
  MSG message;
  while (SaverStartBusy() && GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  KillTimer(window, SaverStartTimer);
  StopWatchingSession(window);
  DestroyWindow(window);
  agentRun.window = nullptr;
  ForgetSaver();
  return true;
}

}  // namespace corners

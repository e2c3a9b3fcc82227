#include "alone.h"

#include "agent_names.h"
#include "agent_state.h"
#include "commands.h"
#include "saver_start.h"
#include "trace.h"

namespace corners {

namespace {

const char aloneClass[] = "MorvaneHotCornersCommand";

LRESULT CALLBACK AloneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: OnSaverStartTimer(); return 0;
    case saverCheckedMessage: OnSaverChecked(lParam); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND MakeAloneWindow(HINSTANCE instance) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = AloneProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = aloneClass;
  if (!RegisterClassExA(&windowClass)) return nullptr;
  // NOTE: a top-level window rather than a message-only one: the system's answer to
  // SC_SCREENSAVE is meant for windows of the user's desktop.
  return CreateWindowExA(WS_EX_TOOLWINDOW, aloneClass, agentTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, instance, nullptr);
}

}  // namespace

bool RunAlone(HINSTANCE instance, const Switches& switches) {
  HWND window = MakeAloneWindow(instance);
  if (!window) {
    Trace("command window not made (error %lu)", GetLastError());
    return false;
  }
  agentRun.window = window;
  agentRun.alone = true;
  ExecuteCommand(switches);
  MSG message;
  while (SaverStartBusy() && GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  KillTimer(window, SaverStartTimer);
  DestroyWindow(window);
  agentRun.window = nullptr;
  ForgetSaver();
  return true;
}

}  // namespace corners

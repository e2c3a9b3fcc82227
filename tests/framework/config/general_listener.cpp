// A top-level window in a process of its own that logs the WM_WININICHANGE broadcasts it gets:
// under Wine a window of the sending process sees the text garbled, so the test listens from
// here. The command line names an event to set once the window exists.
#include <windows.h>

#include "test_log.h"

namespace {

const char listenerClass[] = "MorvaneSettingsListenerClass";

void LogSettingChange(WPARAM wParam, LPARAM lParam) {
  char text[100] = "(null)";
  if (lParam) lstrcpynA(text, reinterpret_cast<const char*>(lParam), sizeof text);
  TestLog("listener wininichange wparam=%u text=%s", static_cast<unsigned>(wParam), text);
}

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_WININICHANGE: LogSettingChange(wParam, lParam); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ListenerProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = listenerClass;
  if (!RegisterClassA(&windowClass)) return 1;
  if (!CreateWindowExA(0, listenerClass, "listener", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                       instance, nullptr)) {
    return 1;
  }
  if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, commandLine)) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

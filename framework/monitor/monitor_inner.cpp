#include "monitor/monitor_window.h"
#include "morvane.h"

namespace morvane {

namespace {

BOOL EraseWithDesktopColour(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_DESKTOP));
  return TRUE;
}

// The preview saver inside must stop ticking before the saver window goes with this one.
LRESULT StopPreviewTimer(HWND window, WPARAM wParam, LPARAM lParam) {
  HWND preview = GetWindow(window, GW_CHILD);
  if (preview) ScrStopTimer(preview);
  return DefWindowProcA(window, WM_DESTROY, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MonitorInnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: return EraseWithDesktopColour(window, reinterpret_cast<HDC>(wParam));
    case WM_DESTROY: return StopPreviewTimer(window, wParam, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace morvane

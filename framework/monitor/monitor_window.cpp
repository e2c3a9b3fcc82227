#include "monitor/monitor_window.h"

#include "monitor/corner_resources.h"
#include "core/library.h"
#include "monitor/monitor_style.h"

namespace morvane {

namespace {

const char innerWindowClass[] = "MorvaneMonitorWindowClass";

POINT CentreOf(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace

LRESULT CALLBACK MonitorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnMonitorCreate(window); return 0;
    case WM_PAINT: OnMonitorPaint(window); return 0;
    case WM_LBUTTONDOWN: OnMonitorClick(window, {LOWORD(lParam), HIWORD(lParam)}); return 0;
    case WM_COMMAND: OnMonitorCommand(window, static_cast<UINT>(wParam)); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

void OnMonitorCreate(HWND control) {
  const SIZE picture = Corners().monitorPictureSize;
  RECT placed;
  GetWindowRect(control, &placed);
  if (placed.right - placed.left != picture.cx || placed.bottom - placed.top != picture.cy) {
    POINT centre = CentreOf(placed);
    // The window rectangle is in screen coordinates, the move in the parent's client coordinates.
    ScreenToClient(GetParent(control), &centre);
    SetWindowPos(control, nullptr, centre.x - picture.cx / 2, centre.y - picture.cy / 2, picture.cx,
                 picture.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  if (MonitorModeOf(static_cast<uint32_t>(GetWindowLongPtrA(control, GWL_STYLE))) !=
      MonitorModePreview) {
    return;
  }
  const RECT& screen = Corners().monitorScreenRect;
  CreateWindowExA(0, innerWindowClass, "Monitor window", WS_CHILD | WS_VISIBLE, screen.left,
                  screen.top, screen.right - screen.left, screen.bottom - screen.top, control,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(control))),
                  libraryState.module, nullptr);
}

void OnMonitorClick(HWND control, POINT point) {
  const CornerResources& corners = Corners();
  int corner = -1;
  for (int index = 0; index < CornerCount; ++index) {
    if (PtInRect(&corners.cornerRects[index], point)) corner = index;
  }
  if (corner < 0 || !corners.menus[corner]) return;
  HMENU menu = corners.menus[corner];
  int state = CornerStateOf(static_cast<uint32_t>(GetWindowLongPtrA(control, GWL_STYLE)), corner);
  CheckMenuItem(menu, state, MF_BYPOSITION | MF_CHECKED);
  ClientToScreen(control, &point);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y, 0, control, nullptr);
  CheckMenuItem(menu, state, MF_BYPOSITION | MF_UNCHECKED);
}

}  // namespace morvane

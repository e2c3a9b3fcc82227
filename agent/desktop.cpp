#include "desktop.h"

#include <windows.h>

#include <cstring>

#include "agent_state.h"
#include "trace.h"

namespace corners {

namespace {

struct MonitorList {
  morvane::DesktopMonitor monitors[morvane::MaxRunWindows];
  int count;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MonitorList* list = reinterpret_cast<MonitorList*>(data);
  if (list->count >= morvane::MaxRunWindows) return FALSE;
  MONITORINFOEXA info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  morvane::DesktopMonitor& entry = list->monitors[list->count++];
  entry = {};
  entry.area = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                info.rcMonitor.bottom};
  entry.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  lstrcpynA(entry.key, info.szDevice, sizeof entry.key);
  return TRUE;
}

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 96;
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

bool IsDesktopWindow(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpA(name, "Progman") == 0 || lstrcmpA(name, "WorkerW") == 0;
}

}  // namespace

void RefreshZones() {
  MonitorList list = {};
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  int32_t side = ZoneSide(ScreenDpi());
  agentRun.zones = ZonesFor(list.monitors, list.count, side);
  if (!agentRun.zones.valid) {
    Trace("no monitor: corners idle");
    return;
  }
  const morvane::ScreenBox* b = agentRun.zones.boxes;
  Trace("monitors=%d zone=%ld corners %ld,%ld %ld,%ld %ld,%ld %ld,%ld", list.count,
        static_cast<long>(side), static_cast<long>(b[0].left), static_cast<long>(b[0].top),
        static_cast<long>(b[1].right - 1), static_cast<long>(b[1].top),
        static_cast<long>(b[2].right - 1), static_cast<long>(b[2].bottom - 1),
        static_cast<long>(b[3].left), static_cast<long>(b[3].bottom - 1));
}

bool FullScreenInFront() {
  HWND front = GetForegroundWindow();
  if (!front || !IsWindowVisible(front) || IsDesktopWindow(front)) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(front, &process);
  if (process == GetCurrentProcessId()) return false;
  RECT area;
  if (!GetWindowRect(front, &area)) return false;
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromWindow(front, MONITOR_DEFAULTTONEAREST), &info)) return false;
  const RECT& screen = info.rcMonitor;
  return area.left <= screen.left && area.top <= screen.top && area.right >= screen.right &&
         area.bottom >= screen.bottom;
}

}  // namespace corners

#include "desktop.h"

#include <windows.h>

#include <cstring>

#include "agent_state.h"
#include "displays/monitor_dpi.h"
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

bool IsDesktopWindow(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpA(name, "Progman") == 0 || lstrcmpA(name, "WorkerW") == 0;
}

// The desktop's four corners, in the line the tests read.
void TraceDesktopZones(int monitors, int32_t side) {
  const morvane::CornerZone* z = agentRun.zones.zones;
  Trace("monitors=%d zone=%ld corners %ld,%ld %ld,%ld %ld,%ld %ld,%ld", monitors,
        static_cast<long>(side), static_cast<long>(z[0].box.left), static_cast<long>(z[0].box.top),
        static_cast<long>(z[1].box.right - 1), static_cast<long>(z[1].box.top),
        static_cast<long>(z[2].box.right - 1), static_cast<long>(z[2].box.bottom - 1),
        static_cast<long>(z[3].box.left), static_cast<long>(z[3].box.bottom - 1));
}

// Every zone as kind@x,y/side (x,y its corner pixel), a trace line per ZonesPerLine zones so that
// a line stays within wsprintf's 1024 characters.
void TraceEachZones(int monitors) {
  enum { ZonesPerLine = 16, ZoneTextCapacity = 40 };
  const CornerZones& zones = agentRun.zones;
  for (int first = 0; first < zones.count; first += ZonesPerLine) {
    char line[ZonesPerLine * ZoneTextCapacity + 64];
    int used = first == 0 ? wsprintfA(line, "monitors=%d each zones=%d", monitors, zones.count)
                          : wsprintfA(line, "each zones from %d", first);
    for (int i = first; i < zones.count && i < first + ZonesPerLine; ++i) {
      const morvane::CornerZone& zone = zones.zones[i];
      bool right = zone.kind == morvane::CornerTopRight || zone.kind == morvane::CornerBottomRight;
      bool bottom =
          zone.kind == morvane::CornerBottomRight || zone.kind == morvane::CornerBottomLeft;
      used += wsprintfA(line + used, " %d@%ld,%ld/%ld", zone.kind,
                        static_cast<long>(right ? zone.box.right - 1 : zone.box.left),
                        static_cast<long>(bottom ? zone.box.bottom - 1 : zone.box.top),
                        static_cast<long>(zone.box.right - zone.box.left));
    }
    Trace("%s", line);
  }
}

}  // namespace

void RefreshZones() {
  MonitorList list = {};
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  int dpis[morvane::MaxRunWindows] = {};
  bool each = agentRun.cornerMode == morvane::CornerMode::Each;
  if (each) morvane::MonitorDpis(list.monitors, list.count, dpis);
  int screenDpi = morvane::ScreenDpi();
  agentRun.zones = ZonesFor(agentRun.cornerMode, list.monitors, dpis, list.count, screenDpi);
  if (agentRun.zones.count == 0) {
    Trace("no monitor: corners idle");
    return;
  }
  if (each) {
    TraceEachZones(list.count);
  } else {
    TraceDesktopZones(list.count, ZoneSide(screenDpi));
  }
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

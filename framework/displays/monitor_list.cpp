#include "displays/display_run.h"

#include <cstring>

namespace morvane {

namespace {

struct MonitorCollection {
  DesktopMonitor* monitors;
  int capacity;
  int count;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MonitorCollection* collection = reinterpret_cast<MonitorCollection*>(data);
  if (collection->count >= collection->capacity) return FALSE;
  MONITORINFOEXA info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  DesktopMonitor& entry = collection->monitors[collection->count++];
  entry.area = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                info.rcMonitor.bottom};
  entry.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  std::memset(entry.key, 0, sizeof entry.key);
  std::memcpy(
      entry.key, info.szDevice,
      sizeof entry.key - 1 < sizeof info.szDevice ? sizeof entry.key - 1 : sizeof info.szDevice);
  entry.key[sizeof entry.key - 1] = '\0';
  return TRUE;
}

}  // namespace

int ListSystemMonitors(DesktopMonitor* monitors, int capacity) {
  MonitorCollection collection = {monitors, capacity, 0};
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&collection));
  if (collection.count > 0 || capacity < 1) return collection.count;
  monitors[0] = {{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true, ""};
  return 1;
}

}  // namespace morvane

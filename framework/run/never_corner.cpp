#include "run/never_corner.h"

#include <windows.h>

#include "core/trace.h"
#include "displays/corner_mode_store.h"
#include "displays/corner_zones.h"
#include "displays/display_run.h"
#include "displays/monitor_dpi.h"
#include "settings/user_settings.h"

namespace morvane {

namespace {

bool AnyNever(const uint8_t codes[CornerKinds]) {
  for (int kind = 0; kind < CornerKinds; ++kind) {
    if (codes[kind] == CORNER_NEVER) return true;
  }
  return false;
}

}  // namespace

bool PointerRestsInNeverCorner() {
  UserSettings settings;
  const uint8_t* codes = settings.current.corners;
  // Most users keep no "never" corner: their start asks nothing of the pointer or the monitors.
  if (!AnyNever(codes)) return false;
  POINT at;
  if (!GetCursorPos(&at)) return false;
  CornerMode mode = StoredCornerMode();
  DesktopMonitor monitors[MaxRunWindows] = {};
  int count = displayRun.listMonitors ? displayRun.listMonitors(monitors, MaxRunWindows) : 0;
  if (count > MaxRunWindows) count = MaxRunWindows;
  int dpis[MaxRunWindows] = {};
  if (mode == CornerMode::Each) MonitorDpis(monitors, count, dpis);
  CornerZones zones = ZonesFor(mode, monitors, dpis, count, ScreenDpi());
  int corner = NeverCornerAt(zones, codes, {at.x, at.y});
  if (corner == NoCorner) return false;
  char line[128];
  wsprintfA(line, "Full screen: the pointer rests in never corner %d (%s corners); not starting",
            corner, CornerModeText(mode));
  Trace(line);
  return true;
}

}  // namespace morvane

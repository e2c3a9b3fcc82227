#pragma once
// The hot-corner zones: small squares in the corners the user's choice makes hot, each with its
// corner kind, and which of them holds the pointer. Pure geometry on the monitor records, shared
// by the hot-corner agent and the saver's own check at its start, so that both judge the same
// corners.
#include <cstdint>

#include "displays/corner_mode.h"
#include "displays/display_layout.h"

namespace morvane {

// Corner kinds in the order of the stored corner codes; a zone's kind picks its code.
enum CornerKind { CornerTopLeft, CornerTopRight, CornerBottomRight, CornerBottomLeft };
enum { CornerKinds = 4, NoCorner = -1, MaxCornerZones = MaxRunWindows * CornerKinds };

struct CornerZone {
  ScreenBox box;  // right and bottom exclusive
  int kind;
};

struct CornerZones {
  int count;
  CornerZone zones[MaxCornerZones];
};

// The side of a zone in pixels for a display of dpi dots per inch: 4 at 96, scaled and rounded,
// at least 1. Nonsense answers of the system (0, negative, huge) count as 96 or the largest
// supported value.
int32_t ZoneSide(int dpi);

// The desktop's four outer corners (DesktopCorners), in kind order, each a square of side pixels
// from the corner pixel inward. None when no monitor has an area or side is below 1.
CornerZones DesktopZones(const DesktopMonitor* monitors, int count, int32_t side);

// Every corner of every monitor where the desktop does not go on past it either way: no monitor
// holds the pixel beside the corner pixel, nor the one above or below it. Each zone is sized by
// its monitor's dpis[i] (a null dpis counts as 96) and kept inside its monitor. Monitors without
// area give none; beyond MaxRunWindows monitors the rest are left out.
CornerZones EachMonitorZones(const DesktopMonitor* monitors, const int* dpis, int count);

// The zones of the chosen mode: the desktop's with the screen's dpi, or each monitor's with its
// own.
CornerZones ZonesFor(CornerMode mode, const DesktopMonitor* monitors, const int* dpis, int count,
                     int screenDpi);

// The kind of the first zone that holds the point, or NoCorner.
int CornerAt(const CornerZones& zones, ScreenPoint point);

// The kind of the zone holding the pointer when its stored code (0 default, 1 now, 2 never) is
// "never", else NoCorner: a saver asked to start there is not wanted.
int NeverCornerAt(const CornerZones& zones, const uint8_t codes[CornerKinds], ScreenPoint pointer);

}  // namespace morvane

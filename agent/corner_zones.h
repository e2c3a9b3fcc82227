#pragma once
// The hot-corner zones: a small square inside each outer corner of the desktop, and which of them
// holds the pointer. Pure geometry on the framework's monitor records.
#include <cstdint>

#include "displays/display_layout.h"

namespace corners {

enum { CornerCount = 4, NoCorner = -1 };

// Corner order, as the stored corner codes: top-left, top-right, bottom-right, bottom-left.
struct CornerZones {
  bool valid;
  morvane::ScreenBox boxes[CornerCount];
};

// The side of a zone in pixels for a display of dpi dots per inch: 4 at 96, scaled and rounded,
// at least 1. Nonsense answers of the system (0, negative, huge) count as 96 or the largest
// supported value.
int32_t ZoneSide(int dpi);

// The zones of a desktop of these monitors: a side-by-side square from each outer corner pixel
// inward, clipped to the 32-bit range. Not valid when no monitor has an area.
CornerZones ZonesFor(const morvane::DesktopMonitor* monitors, int count, int32_t side);

// The corner whose zone holds the point, or NoCorner.
int CornerAt(const CornerZones& zones, morvane::ScreenPoint point);

}  // namespace corners

#include "corner_zones.h"

#include <algorithm>
#include <limits>

namespace corners {

namespace {

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(
      std::min<int64_t>(std::max<int64_t>(value, std::numeric_limits<int32_t>::min()),
                        std::numeric_limits<int32_t>::max()));
}

// Right and bottom are exclusive, as in every screen box.
morvane::ScreenBox ZoneAt(morvane::ScreenPoint corner, int index, int32_t side) {
  bool right = index == 1 || index == 2;
  bool bottom = index == 2 || index == 3;
  int64_t left = right ? int64_t{corner.x} - side + 1 : corner.x;
  int64_t top = bottom ? int64_t{corner.y} - side + 1 : corner.y;
  return {Clamp32(left), Clamp32(top), Clamp32(left + side), Clamp32(top + side)};
}

}  // namespace

int32_t ZoneSide(int dpi) {
  enum { BaseSide = 4, BaseDpi = 96, MaxDpi = 96 * 8 };
  if (dpi <= 0) dpi = BaseDpi;
  dpi = std::min<int>(dpi, MaxDpi);
  return std::max<int32_t>(1, (BaseSide * dpi + BaseDpi / 2) / BaseDpi);
}

CornerZones ZonesFor(const morvane::DesktopMonitor* monitors, int count, int32_t side) {
  CornerZones zones = {};
  morvane::ScreenPoint points[CornerCount];
  if (side < 1 || !morvane::DesktopCorners(monitors, count, points)) return zones;
  for (int i = 0; i < CornerCount; ++i) zones.boxes[i] = ZoneAt(points[i], i, side);
  zones.valid = true;
  return zones;
}

int CornerAt(const CornerZones& zones, morvane::ScreenPoint point) {
  if (!zones.valid) return NoCorner;
  for (int i = 0; i < CornerCount; ++i) {
    const morvane::ScreenBox& box = zones.boxes[i];
    if (point.x >= box.left && point.x < box.right && point.y >= box.top && point.y < box.bottom) {
      return i;
    }
  }
  return NoCorner;
}

}  // namespace corners

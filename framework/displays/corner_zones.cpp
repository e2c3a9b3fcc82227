#include "displays/corner_zones.h"

#include <algorithm>
#include <limits>

namespace morvane {

namespace {

enum { BaseDpi = 96 };

int32_t Clamp32(int64_t value) {
  return static_cast<int32_t>(
      std::min<int64_t>(std::max<int64_t>(value, std::numeric_limits<int32_t>::min()),
                        std::numeric_limits<int32_t>::max()));
}

bool IsRight(int kind) {
  return kind == CornerTopRight || kind == CornerBottomRight;
}

bool IsBottom(int kind) {
  return kind == CornerBottomRight || kind == CornerBottomLeft;
}

// A square of side pixels reaching inward from the corner pixel.
ScreenBox ZoneAt(ScreenPoint corner, int kind, int32_t side) {
  int64_t left = IsRight(kind) ? int64_t{corner.x} - side + 1 : corner.x;
  int64_t top = IsBottom(kind) ? int64_t{corner.y} - side + 1 : corner.y;
  return {Clamp32(left), Clamp32(top), Clamp32(left + side), Clamp32(top + side)};
}

bool HasArea(const ScreenBox& box) {
  return box.left < box.right && box.top < box.bottom;
}

// In 64 bits: the neighbours of a corner pixel at the ends of the 32-bit range lie outside it.
bool Holds(const ScreenBox& box, int64_t x, int64_t y) {
  return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

bool AnyMonitorHolds(const DesktopMonitor* monitors, int count, int64_t x, int64_t y) {
  for (int i = 0; i < count; ++i) {
    if (HasArea(monitors[i].area) && Holds(monitors[i].area, x, y)) return true;
  }
  return false;
}

ScreenPoint CornerPixel(const ScreenBox& box, int kind) {
  return {IsRight(kind) ? box.right - 1 : box.left, IsBottom(kind) ? box.bottom - 1 : box.top};
}

// Whether the pointer is stopped at this corner pixel both across and up or down.
bool DesktopEndsAt(const DesktopMonitor* monitors, int count, ScreenPoint corner, int kind) {
  int64_t across = int64_t{corner.x} + (IsRight(kind) ? 1 : -1);
  int64_t upOrDown = int64_t{corner.y} + (IsBottom(kind) ? 1 : -1);
  return !AnyMonitorHolds(monitors, count, across, corner.y) &&
         !AnyMonitorHolds(monitors, count, corner.x, upOrDown);
}

ScreenBox Intersect(const ScreenBox& a, const ScreenBox& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

}  // namespace

int32_t ZoneSide(int dpi) {
  enum { BaseSide = 4, MaxDpi = BaseDpi * 8 };
  if (dpi <= 0) dpi = BaseDpi;
  dpi = std::min<int>(dpi, MaxDpi);
  return std::max<int32_t>(1, (BaseSide * dpi + BaseDpi / 2) / BaseDpi);
}

CornerZones DesktopZones(const DesktopMonitor* monitors, int count, int32_t side) {
  CornerZones zones = {};
  ScreenPoint points[CornerKinds];
  if (side < 1 || !DesktopCorners(monitors, count, points)) return zones;
  for (int kind = 0; kind < CornerKinds; ++kind) {
    zones.zones[zones.count++] = {ZoneAt(points[kind], kind, side), kind};
  }
  return zones;
}

CornerZones EachMonitorZones(const DesktopMonitor* monitors, const int* dpis, int count) {
  CornerZones zones = {};
  if (!monitors || count < 1) return zones;
  int used = std::min<int>(count, MaxRunWindows);
  for (int i = 0; i < used; ++i) {
    const ScreenBox& area = monitors[i].area;
    if (!HasArea(area)) continue;
    int32_t side = ZoneSide(dpis ? dpis[i] : BaseDpi);
    for (int kind = 0; kind < CornerKinds; ++kind) {
      ScreenPoint corner = CornerPixel(area, kind);
      if (!DesktopEndsAt(monitors, count, corner, kind)) continue;
      zones.zones[zones.count++] = {Intersect(ZoneAt(corner, kind, side), area), kind};
    }
  }
  return zones;
}

CornerZones ZonesFor(CornerMode mode, const DesktopMonitor* monitors, const int* dpis, int count,
                     int screenDpi) {
  if (mode == CornerMode::Each) return EachMonitorZones(monitors, dpis, count);
  return DesktopZones(monitors, count, ZoneSide(screenDpi));
}

int CornerAt(const CornerZones& zones, ScreenPoint point) {
  int count = std::min<int>(std::max(zones.count, 0), MaxCornerZones);
  for (int i = 0; i < count; ++i) {
    if (Holds(zones.zones[i].box, point.x, point.y)) return zones.zones[i].kind;
  }
  return NoCorner;
}

int NeverCornerAt(const CornerZones& zones, const uint8_t codes[CornerKinds], ScreenPoint pointer) {
  enum { CodeNever = 2 };
  int kind = CornerAt(zones, pointer);
  if (kind < 0 || kind >= CornerKinds || !codes) return NoCorner;
  return codes[kind] == CodeNever ? kind : NoCorner;
}

}  // namespace morvane

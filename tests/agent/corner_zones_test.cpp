#include <gtest/gtest.h>

#include <climits>

#include "corner_zones.h"

using namespace corners;
using morvane::DesktopMonitor;
using morvane::ScreenPoint;

namespace {

DesktopMonitor Monitor(int32_t left, int32_t top, int32_t width, int32_t height, bool primary) {
  DesktopMonitor monitor = {};
  monitor.area = {left, top, left + width, top + height};
  monitor.primary = primary;
  return monitor;
}

TEST(CornerZones, TheSideIsFourPixelsAt96DpiScaledAndNeverZero) {
  EXPECT_EQ(4, ZoneSide(96));
  EXPECT_EQ(5, ZoneSide(120));
  EXPECT_EQ(6, ZoneSide(144));
  EXPECT_EQ(8, ZoneSide(192));
  EXPECT_EQ(4, ZoneSide(0));
  EXPECT_EQ(4, ZoneSide(-300));
  EXPECT_EQ(1, ZoneSide(12));
  EXPECT_EQ(32, ZoneSide(INT_MAX));
}

TEST(CornerZones, OneMonitorHasAZoneInsideEachCorner) {
  DesktopMonitor one = Monitor(0, 0, 1024, 768, true);
  CornerZones zones = ZonesFor(&one, 1, 4);
  ASSERT_TRUE(zones.valid);
  struct Probe {
    ScreenPoint point;
    int corner;
  } probes[] = {
      {{0, 0}, 0},      {{3, 3}, 0},      {{4, 0}, -1},      {{0, 4}, -1},
      {{1023, 0}, 1},   {{1020, 3}, 1},   {{1019, 0}, -1},   {{1024, 0}, -1},
      {{1023, 767}, 2}, {{1020, 764}, 2}, {{1023, 763}, -1}, {{0, 767}, 3},
      {{3, 764}, 3},    {{0, 768}, -1},   {{512, 384}, -1},  {{-1, -1}, -1},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(p.corner, CornerAt(zones, p.point)) << p.point.x << "," << p.point.y;
  }
}

TEST(CornerZones, AMonitorLeftOfThePrimaryGivesTheLeftCornersAtNegativeX) {
  // 1024x768 primary, 800x600 left of it, tops aligned.
  DesktopMonitor two[] = {Monitor(0, 0, 1024, 768, true), Monitor(-800, 0, 800, 600, false)};
  CornerZones zones = ZonesFor(two, 2, 4);
  ASSERT_TRUE(zones.valid);
  EXPECT_EQ(0, CornerAt(zones, {-800, 0}));
  EXPECT_EQ(1, CornerAt(zones, {1023, 0}));
  EXPECT_EQ(2, CornerAt(zones, {1023, 767}));
  // The bounding box's bottom-left (-800, 767) is on no monitor: the nearest monitor corner is the
  // left monitor's bottom-left.
  EXPECT_EQ(3, CornerAt(zones, {-800, 599}));
  EXPECT_EQ(3, CornerAt(zones, {-797, 596}));
  // The primary's own left corners are inner corners now.
  EXPECT_EQ(-1, CornerAt(zones, {0, 0}));
  EXPECT_EQ(-1, CornerAt(zones, {0, 767}));
}

TEST(CornerZones, NoUsableMonitorGivesNoZonesAndNoCorner) {
  EXPECT_FALSE(ZonesFor(nullptr, 3, 4).valid);
  DesktopMonitor empty = Monitor(10, 10, 0, 0, true);
  CornerZones zones = ZonesFor(&empty, 1, 4);
  EXPECT_FALSE(zones.valid);
  EXPECT_EQ(-1, CornerAt(zones, {10, 10}));
  DesktopMonitor one = Monitor(0, 0, 100, 100, true);
  EXPECT_FALSE(ZonesFor(&one, 1, 0).valid);
}

TEST(CornerZones, MonitorsAtTheEndsOfThe32BitRangeDoNotOverflow) {
  DesktopMonitor far[] = {Monitor(INT_MIN, INT_MIN, 100, 100, false),
                          Monitor(INT_MAX - 100, INT_MAX - 100, 100, 100, true)};
  CornerZones zones = ZonesFor(far, 2, 32);
  ASSERT_TRUE(zones.valid);
  EXPECT_EQ(0, CornerAt(zones, {INT_MIN, INT_MIN}));
  EXPECT_EQ(2, CornerAt(zones, {INT_MAX - 1, INT_MAX - 1}));
  for (const auto& box : zones.boxes) {
    EXPECT_LE(box.left, box.right);
    EXPECT_LE(box.top, box.bottom);
  }
}

}  // namespace

// The hot-corner zones of both modes and which corner holds a point, under the sanitizers.
#include "displays/corner_zones.h"

#include <gtest/gtest.h>

#include "test_monitors.h"

#include <climits>
#include <string>

using namespace morvane;

namespace {

// Primary 1024x768, 800x600 left of it, 800x600 below it (narrower than the primary).
const DesktopMonitor threeMonitors[] = {Monitor("P", 0, 0, 1024, 768, true),
                                        Monitor("L", -800, 0, 800, 600),
                                        Monitor("B", 0, 768, 800, 600)};

std::string Describe(const CornerZones& zones) {
  std::string text;
  for (int i = 0; i < zones.count; ++i) {
    const ScreenBox& b = zones.zones[i].box;
    text += std::to_string(zones.zones[i].kind) + "@" + std::to_string(b.left) + "," +
            std::to_string(b.top) + "-" + std::to_string(b.right) + "," + std::to_string(b.bottom) +
            " ";
  }
  return text;
}

TEST(CornerZones, TheSideIsFourPixelsAt96DpiScaledAndNeverZero) {
  const int table[][2] = {{96, 4},   {120, 5}, {144, 6}, {192, 8},     {0, 4},
                          {-300, 4}, {12, 1},  {1, 1},   {INT_MAX, 32}};
  for (const auto& row : table) EXPECT_EQ(row[1], ZoneSide(row[0])) << row[0] << " dpi";
}

TEST(CornerZones, EachModeFindsTheCornersWhereTheDesktopEnds) {
  // Primary: its top-left goes on into the left monitor, its bottom-left into the lower one. Left
  // monitor: its right corners go on into the primary. Lower monitor: its top corners lie under
  // the primary.
  const int dpis[] = {96, 96, 120};
  EXPECT_EQ(
      "1@1020,0-1024,4 2@1020,764-1024,768 0@-800,0--796,4 3@-800,596--796,600 "
      "2@795,1363-800,1368 3@0,1363-5,1368 ",
      Describe(EachMonitorZones(threeMonitors, dpis, 3)));
}

TEST(CornerZones, EachCornerHoldsThePointsOfItsKindInBothModes) {
  const int dpis[] = {96, 96, 96};
  CornerZones desktop = ZonesFor(CornerMode::Desktop, threeMonitors, dpis, 3, 96);
  CornerZones each = ZonesFor(CornerMode::Each, threeMonitors, dpis, 3, 96);
  struct Probe {
    ScreenPoint point;
    int desktop, each;
  } probes[] = {
      {{-800, 0}, 0, 0},
      {{-797, 3}, 0, 0},
      {{-796, 0}, -1, -1},
      {{1023, 0}, 1, 1},
      {{1020, 3}, 1, 1},
      {{1019, 0}, -1, -1},
      // The primary's bottom-right: the monitor below is narrower, so the pointer stops here.
      {{1023, 767}, -1, 2},
      {{1020, 764}, -1, 2},
      {{1023, 763}, -1, -1},
      // The primary's top-left and bottom-left continue into the other monitors.
      {{0, 0}, -1, -1},
      {{0, 767}, -1, -1},
      {{-1, 0}, -1, -1},
      {{-800, 599}, 3, 3},
      {{-1, 599}, -1, -1},
      {{-4, 596}, -1, -1},
      {{799, 1367}, 2, 2},
      {{0, 1367}, -1, 3},
      {{799, 768}, -1, -1},
      {{-801, 0}, -1, -1},
      {{1024, 767}, -1, -1},
      {{500, 400}, -1, -1},
  };
  for (const Probe& p : probes) {
    std::string at = std::to_string(p.point.x) + "," + std::to_string(p.point.y);
    EXPECT_EQ(p.desktop, CornerAt(desktop, p.point)) << "desktop " << at;
    EXPECT_EQ(p.each, CornerAt(each, p.point)) << "each " << at;
  }
}

TEST(CornerZones, DesktopModeKeepsTheDesktopsOuterCornersAtTheScreenDpi) {
  EXPECT_EQ("0@-800,0--795,5 1@1019,0-1024,5 2@795,1363-800,1368 3@-800,595--795,600 ",
            Describe(ZonesFor(CornerMode::Desktop, threeMonitors, nullptr, 3, 120)));
  // A single monitor: its own corners, whatever the mode.
  EXPECT_EQ(Describe(ZonesFor(CornerMode::Desktop, threeMonitors, nullptr, 1, 96)),
            Describe(ZonesFor(CornerMode::Each, threeMonitors, nullptr, 1, 96)));
}

TEST(CornerZones, EachZoneIsSizedByItsOwnMonitorsDpi) {
  const DesktopMonitor two[] = {Monitor("P", 0, 0, 1024, 768, true),
                                Monitor("R", 1024, 0, 640, 480)};
  // The primary at 192 dpi, the right one's answer nonsense (counts as 96); the screen's ignored.
  const int dpis[] = {192, -5};
  EXPECT_EQ("0@0,0-8,8 2@1016,760-1024,768 3@0,760-8,768 1@1660,0-1664,4 2@1660,476-1664,480 ",
            Describe(ZonesFor(CornerMode::Each, two, dpis, 2, 300)));
}

TEST(CornerZones, NoMonitorsOrDegenerateOnesGiveNoZonesAndNoCorner) {
  const DesktopMonitor empty[] = {Monitor("Z", 10, 10, 0, 0), Monitor("N", 50, 50, -20, 5)};
  for (CornerMode mode : {CornerMode::Desktop, CornerMode::Each}) {
    for (int count : {-1, 0, 2}) {
      CornerZones zones = ZonesFor(mode, count == 2 ? empty : nullptr, nullptr, count, 96);
      EXPECT_EQ(0, zones.count) << CornerModeText(mode) << " " << count;
      EXPECT_EQ(NoCorner, CornerAt(zones, {10, 10}));
    }
  }
  EXPECT_EQ(0, DesktopZones(threeMonitors, 3, 0).count);
  // A monitor smaller than a zone: its zones stay inside it, and an area-less monitor beside it
  // stops nothing.
  const DesktopMonitor tiny[] = {Monitor("T", 0, 0, 2, 3), Monitor("Z", 2, 0, 0, 0)};
  EXPECT_EQ("0@0,0-2,3 1@0,0-2,3 2@0,0-2,3 3@0,0-2,3 ",
            Describe(EachMonitorZones(tiny, nullptr, 2)));
  // A zone count out of range reads no further than the zones there are.
  CornerZones broken = EachMonitorZones(threeMonitors, nullptr, 3);
  broken.count = INT_MAX;
  EXPECT_EQ(NoCorner, CornerAt(broken, {500, 400}));
}

TEST(CornerZones, MoreMonitorsThanTheZonesHoldAndTheEndsOfThe32BitRangeAreSafe) {
  DesktopMonitor row[MaxRunWindows + 4];
  for (int i = 0; i < MaxRunWindows + 4; ++i) row[i] = Monitor("R", i * 100, i * 100, 100, 100);
  EXPECT_EQ(MaxRunWindows * CornerKinds, EachMonitorZones(row, nullptr, MaxRunWindows + 4).count);
  const DesktopMonitor far[] = {Monitor("A", INT_MIN, INT_MIN, 100, 100),
                                Monitor("B", INT_MAX - 100, INT_MAX - 100, 100, 100, true)};
  for (CornerMode mode : {CornerMode::Desktop, CornerMode::Each}) {
    CornerZones zones = ZonesFor(mode, far, nullptr, 2, 768);
    EXPECT_EQ(0, CornerAt(zones, {INT_MIN, INT_MIN})) << CornerModeText(mode);
    EXPECT_EQ(2, CornerAt(zones, {INT_MAX - 1, INT_MAX - 1})) << CornerModeText(mode);
    for (int i = 0; i < zones.count; ++i) {
      EXPECT_LE(zones.zones[i].box.left, zones.zones[i].box.right);
      EXPECT_LE(zones.zones[i].box.top, zones.zones[i].box.bottom);
    }
  }
}

TEST(NeverCorner, OnlyANeverCodeOfTheZonesKindHoldsTheSaverOff) {
  CornerZones each = ZonesFor(CornerMode::Each, threeMonitors, nullptr, 3, 96);
  CornerZones desktop = ZonesFor(CornerMode::Desktop, threeMonitors, nullptr, 3, 96);
  const uint8_t never[] = {2, 2, 2, 2}, nowOnly[] = {1, 1, 1, 1}, bottomRight[] = {0, 0, 2, 0},
                odd[] = {7, 255, 3, 1};
  struct Row {
    const CornerZones* zones;
    const uint8_t* codes;
    ScreenPoint pointer;
    int expected;
  } rows[] = {
      {&each, bottomRight, {1023, 767}, 2}, {&desktop, bottomRight, {1023, 767}, -1},
      {&each, never, {0, 0}, -1},           {&each, never, {-800, 0}, 0},
      {&each, nowOnly, {-800, 0}, -1},      {&each, bottomRight, {-800, 0}, -1},
      {&desktop, never, {500, 400}, -1},    {&each, odd, {1023, 0}, -1},
      {&each, nullptr, {1023, 767}, -1},    {&desktop, bottomRight, {799, 1367}, 2},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.expected, NeverCornerAt(*r.zones, r.codes, r.pointer))
        << (r.zones == &each ? "each " : "desktop ") << r.pointer.x << "," << r.pointer.y;
  }
}

}  // namespace

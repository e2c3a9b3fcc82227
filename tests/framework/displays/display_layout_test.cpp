// How a run's windows lie over the monitors and follow them, and the pointer and corner geometry
// across monitors with negative coordinates, under the sanitizers.
#include "displays/display_layout.h"

#include <gtest/gtest.h>

#include "test_monitors.h"

#include <climits>
#include <cstring>
#include <string>

using namespace morvane;

namespace {

// Primary 1024x768, 800x600 to its left, 640x480 below it: as the three-monitor test desktop.
const DesktopMonitor threeMonitors[] = {Monitor("\\\\.\\DISPLAY1", 0, 0, 1024, 768, true),
                                        Monitor("\\\\.\\DISPLAY2", -800, 0, 800, 600),
                                        Monitor("\\\\.\\DISPLAY3", 0, 768, 640, 480)};

std::string Describe(const PlannedWindow& w) {
  return std::string(w.kind == RunWindowKind::Saver ? "saver" : "cover") + " #" +
         std::to_string(w.number) + " " + w.monitor + " " + std::to_string(w.area.left) + "," +
         std::to_string(w.area.top) + "-" + std::to_string(w.area.right) + "," +
         std::to_string(w.area.bottom);
}

std::string Describe(const RunPlan& plan) {
  std::string text;
  for (int i = 0; i < plan.count; ++i) text += Describe(plan.windows[i]) + "; ";
  return text;
}

TEST(RunPlan, EachPolicyLaysItsWindowsOverTheMonitors) {
  EXPECT_EQ(
      "saver #0 \\\\.\\DISPLAY1 0,0-1024,768; cover #1 \\\\.\\DISPLAY2 -800,0-0,600; "
      "cover #2 \\\\.\\DISPLAY3 0,768-640,1248; ",
      Describe(PlanRunWindows(PolicyPrimary, threeMonitors, 3)));
  EXPECT_EQ(
      "saver #0 \\\\.\\DISPLAY1 0,0-1024,768; saver #1 \\\\.\\DISPLAY2 -800,0-0,600; "
      "saver #2 \\\\.\\DISPLAY3 0,768-640,1248; ",
      Describe(PlanRunWindows(PolicyEach, threeMonitors, 3)));
  // The bounding box of the whole desktop, left edge negative, with every monitor covered under it.
  EXPECT_EQ(
      "saver #0  -800,0-1024,1248; cover #1 \\\\.\\DISPLAY1 0,0-1024,768; "
      "cover #2 \\\\.\\DISPLAY2 -800,0-0,600; cover #3 \\\\.\\DISPLAY3 0,768-640,1248; ",
      Describe(PlanRunWindows(PolicySpan, threeMonitors, 3)));
}

TEST(RunPlan, ThePrimaryMonitorIsFoundWhereverTheSystemListsIt) {
  // Listed last and marked: numbered 0 all the same, the others keep the system's order.
  const DesktopMonitor marked[] = {Monitor("A", -800, 0, 800, 600), Monitor("B", 1024, 0, 640, 480),
                                   Monitor("P", 0, 0, 1024, 768, true)};
  EXPECT_EQ("saver #0 P 0,0-1024,768; saver #1 A -800,0-0,600; saver #2 B 1024,0-1664,480; ",
            Describe(PlanRunWindows(PolicyEach, marked, 3)));
  // None marked: the one holding (0,0); none holds it either: the first.
  const DesktopMonitor unmarked[] = {Monitor("A", -800, 0, 800, 600),
                                     Monitor("P", 0, 0, 1024, 768)};
  EXPECT_EQ("saver #0 P 0,0-1024,768; cover #1 A -800,0-0,600; ",
            Describe(PlanRunWindows(PolicyPrimary, unmarked, 2)));
  const DesktopMonitor away[] = {Monitor("A", 100, 100, 800, 600), Monitor("B", 900, 100, 80, 60)};
  EXPECT_EQ("saver #0 A 100,100-900,700; cover #1 B 900,100-980,160; ",
            Describe(PlanRunWindows(PolicyPrimary, away, 2)));
}

TEST(RunPlan, MonitorsWithoutAreaOrMirroredGetNoWindowAndNoneGivesAnEmptyPlan) {
  const DesktopMonitor odd[] = {Monitor("P", 0, 0, 1024, 768, true), Monitor("Z", 50, 50, 0, 600),
                                Monitor("N", 50, 50, -10, -10), Monitor("M", 0, 0, 1024, 768)};
  EXPECT_EQ("saver #0 P 0,0-1024,768; ", Describe(PlanRunWindows(PolicyEach, odd, 4)));
  EXPECT_EQ(0, PlanRunWindows(PolicyEach, nullptr, 3).count);
  EXPECT_EQ(0, PlanRunWindows(PolicyPrimary, odd + 1, 2).count);
  EXPECT_EQ(0, PlanRunWindows(PolicySpan, threeMonitors, 0).count);
  EXPECT_EQ(0, PlanRunWindows(PolicySpan, threeMonitors, -5).count);
}

TEST(RunPlan, MoreMonitorsThanWindowsKeepsTheFirstOnesAndUnterminatedKeysStayInside) {
  DesktopMonitor many[MaxRunWindows + 4];
  for (int i = 0; i < MaxRunWindows + 4; ++i) {
    many[i] = Monitor("", i * 100, 0, 100, 100, i == MaxRunWindows + 2);
    std::memset(many[i].key, 'k', sizeof many[i].key);  // no terminator at all
  }
  RunPlan plan = PlanRunWindows(PolicyEach, many, MaxRunWindows + 4);
  ASSERT_EQ(MaxRunWindows, plan.count);
  // The marked primary lies beyond what fits: the one at (0,0) is first.
  EXPECT_EQ(0, plan.windows[0].area.left);
  for (int i = 0; i < plan.count; ++i) {
    EXPECT_EQ(MonitorKeySize - 1,
              static_cast<int>(strnlen(plan.windows[i].monitor, MonitorKeySize)));
  }
  // Spanning: the window over the usable ones, and as many covers under it as fit.
  plan = PlanRunWindows(PolicySpan, many, MaxRunWindows + 4);
  ASSERT_EQ(MaxRunWindows, plan.count);
  EXPECT_EQ(MaxRunWindows * 100, plan.windows[0].area.right);
  EXPECT_EQ(RunWindowKind::Cover, plan.windows[MaxRunWindows - 1].kind);
}

TEST(RunPlan, OnlyTheThreePoliciesAreKnown) {
  EXPECT_TRUE(IsLayoutPolicy(0));
  EXPECT_TRUE(IsLayoutPolicy(1));
  EXPECT_TRUE(IsLayoutPolicy(2));
  EXPECT_FALSE(IsLayoutPolicy(3));
  EXPECT_FALSE(IsLayoutPolicy(-1));
  EXPECT_FALSE(IsLayoutPolicy(INT_MIN));
}

// What happens to each existing window, and which plan windows are new, as one line.
std::string Relayout(const RunPlan& before, const RunPlan& after) {
  RelayoutMatch match = MatchRelayout(before.windows, before.count, after);
  std::string text;
  for (int i = 0; i < before.count; ++i) {
    text += std::to_string(i) +
            (match.placeOf[i] < 0 ? "->gone " : "->" + std::to_string(match.placeOf[i]) + " ");
  }
  for (int j = 0; j < after.count; ++j) {
    if (!match.taken[j]) text += "new" + std::to_string(j) + " ";
  }
  return text;
}

TEST(Relayout, WindowsStayWithTheirMonitorsGoWithThemAndNewMonitorsGetNewOnes) {
  RunPlan three = PlanRunWindows(PolicyEach, threeMonitors, 3);
  // DISPLAY2 unplugged: its window goes, the others keep theirs.
  const DesktopMonitor withoutLeft[] = {threeMonitors[0], threeMonitors[2]};
  EXPECT_EQ("0->0 1->gone 2->1 ", Relayout(three, PlanRunWindows(PolicyEach, withoutLeft, 2)));
  // Plugged in again, now right of the primary: the same monitor, moved.
  const DesktopMonitor moved[] = {threeMonitors[0], Monitor("\\\\.\\DISPLAY2", 1024, 0, 800, 600),
                                  threeMonitors[2]};
  RunPlan after = PlanRunWindows(PolicyEach, moved, 3);
  EXPECT_EQ("0->0 1->1 2->2 ", Relayout(three, after));
  EXPECT_EQ(1024, after.windows[1].area.left);
  // One removed and another added at once: a new window, never the old one reused.
  const DesktopMonitor swapped[] = {threeMonitors[0], threeMonitors[1],
                                    Monitor("\\\\.\\DISPLAY4", 1024, 0, 640, 480)};
  EXPECT_EQ("0->0 1->1 2->gone new2 ", Relayout(three, PlanRunWindows(PolicyEach, swapped, 3)));
}

TEST(Relayout, TheFirstSaverWindowSurvivesAChangeOfThePrimaryMonitor) {
  RunPlan before = PlanRunWindows(PolicyPrimary, threeMonitors, 3);
  // DISPLAY1 gone, DISPLAY3 the new primary: the saver window moves there, DISPLAY3's cover goes.
  const DesktopMonitor newPrimary[] = {threeMonitors[1],
                                       Monitor("\\\\.\\DISPLAY3", 0, 0, 640, 480, true)};
  RunPlan after = PlanRunWindows(PolicyPrimary, newPrimary, 2);
  EXPECT_EQ("0->0 1->1 2->gone ", Relayout(before, after));
  EXPECT_EQ(640, after.windows[0].area.right);
  // With a window on every monitor the first, whose monitor went, moves to the new primary too
  // (a dialog of the framework may be open over it); the window that was there goes.
  RunPlan each = PlanRunWindows(PolicyEach, threeMonitors, 3);
  RunPlan eachAfter = PlanRunWindows(PolicyEach, newPrimary, 2);
  EXPECT_EQ("0->0 1->1 2->gone ", Relayout(each, eachAfter));
  // The primary moved to another monitor that stays, as did the old one: every window stays with
  // its monitor, the first included, which is the first no longer.
  const DesktopMonitor swappedPrimary[] = {Monitor("\\\\.\\DISPLAY1", 0, 0, 1024, 768),
                                           threeMonitors[1],
                                           Monitor("\\\\.\\DISPLAY3", 0, 768, 640, 480, true)};
  EXPECT_EQ("0->1 1->2 2->0 ", Relayout(each, PlanRunWindows(PolicyEach, swappedPrimary, 3)));
}

TEST(Relayout, CoversOfMonitorsThatWentCoverNewOnes) {
  RunPlan before = PlanRunWindows(PolicyPrimary, threeMonitors, 3);
  const DesktopMonitor replaced[] = {threeMonitors[0],
                                     Monitor("\\\\.\\DISPLAY9", -640, 0, 640, 480)};
  EXPECT_EQ("0->0 1->1 2->gone ", Relayout(before, PlanRunWindows(PolicyPrimary, replaced, 2)));
  // Everything unplugged but the primary: only covers go.
  EXPECT_EQ("0->0 1->gone 2->gone ",
            Relayout(before, PlanRunWindows(PolicyPrimary, threeMonitors, 1)));
}

TEST(Threshold, MovementCountsAlongEitherAxisOnEveryMonitorWithoutOverflow) {
  EXPECT_FALSE(MovedPastThreshold({-700, 300}, {-690, 310}, 10));
  EXPECT_TRUE(MovedPastThreshold({-700, 300}, {-711, 300}, 10));
  EXPECT_TRUE(MovedPastThreshold({-5, -5}, {5, -5}, 9));  // across the primary's edge
  EXPECT_FALSE(MovedPastThreshold({3, 3}, {3, 3}, 0));
  EXPECT_TRUE(MovedPastThreshold({3, 3}, {3, 4}, 0));
  EXPECT_TRUE(MovedPastThreshold({3, 3}, {3, 4}, -50));  // negative counts as 0
  EXPECT_FALSE(MovedPastThreshold({3, 3}, {3, 3}, INT32_MIN));
  EXPECT_TRUE(MovedPastThreshold({INT32_MIN, INT32_MAX}, {INT32_MAX, INT32_MIN}, INT32_MAX));
  EXPECT_FALSE(MovedPastThreshold({INT32_MIN, 0}, {-1, 0}, INT32_MAX));
}

std::string Corners(const DesktopMonitor* monitors, int count) {
  ScreenPoint corners[4];
  if (!DesktopCorners(monitors, count, corners)) return "none";
  std::string text;
  for (const ScreenPoint& p : corners)
    text += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
  return text;
}

TEST(DesktopCorners, EachCornerOfTheDesktopIsOnTheMonitorNearestToIt) {
  // Bounding box -800,0 to 1024,1248: top-left on the left monitor, top-right on the primary,
  // bottom-right on the monitor below; bottom-left (-800,1247) is 648 pixels from the left
  // monitor's and 800 from the lower one's.
  EXPECT_EQ("-800,0 1023,0 639,1247 -800,599 ", Corners(threeMonitors, 3));
  // One monitor: its own corners.
  EXPECT_EQ("0,0 1023,0 1023,767 0,767 ", Corners(threeMonitors, 1));
  // Monitors of different heights side by side: the bottom corners lie on each one's own bottom.
  const DesktopMonitor uneven[] = {Monitor("P", 0, 0, 1024, 768, true),
                                   Monitor("L", -800, 168, 800, 600)};
  EXPECT_EQ("-800,168 1023,0 1023,767 -800,767 ", Corners(uneven, 2));
  const DesktopMonitor empty[] = {Monitor("Z", 0, 0, 0, 0)};
  EXPECT_EQ("none", Corners(empty, 1));
  EXPECT_EQ("none", Corners(nullptr, 2));
  const DesktopMonitor far[] = {Monitor("A", INT32_MIN, INT32_MIN, 10, 10),
                                Monitor("B", INT32_MAX - 10, INT32_MAX - 10, 10, 10)};
  // Corners 2^32 apart: no overflow, and the top-left is the far monitor's.
  EXPECT_EQ(0u, Corners(far, 2).find(std::to_string(INT32_MIN) + "," + std::to_string(INT32_MIN)));
}

}  // namespace

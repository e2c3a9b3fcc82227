// The run's decisions: which saver each monitor shows, when a cycle ends, when a child hangs.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "run_plan.h"

namespace carousel {
namespace {

// Monitors through several cycles: the saver each shows at the start and after each cycle.
std::vector<std::vector<size_t>> Cycles(SaverPicker& picker, size_t monitors, int cycles) {
  std::vector<size_t> places;
  for (size_t m = 0; m < monitors; ++m) places.push_back(picker.Join(m));
  std::vector<std::vector<size_t>> shown;
  for (int cycle = 0; cycle <= cycles; ++cycle) {
    if (cycle > 0) {
      for (size_t& place : places) place = picker.Step(place);
    }
    shown.emplace_back();
    for (size_t place : places) shown.back().push_back(picker.SaverAt(place));
  }
  return shown;
}

TEST(SaverPicker, EachMonitorShowsItsOwnSaverAndChangesAtEveryCycle) {
  // As many savers as monitors is where a rotation shared by the monitors hands each its own
  // saver again; more or fewer savers than monitors too.
  for (size_t savers : {2u, 3u, 5u, 6u}) {
    for (OrderChoice order : {OrderChoice::List, OrderChoice::Random}) {
      SaverPicker picker(savers, MonitorChoice::Each, order, 7);
      const auto shown = Cycles(picker, 3, 8);
      for (size_t t = 0; t < shown.size(); ++t) {
        SCOPED_TRACE(testing::Message()
                     << savers << " savers, order " << int(order) << ", t " << t);
        std::set<size_t> distinct(shown[t].begin(), shown[t].end());
        EXPECT_EQ(std::min<size_t>(savers, 3), distinct.size()) << "monitors show the same saver";
        for (size_t m = 0; m < 3; ++m) {
          EXPECT_LT(shown[t][m], savers);
          if (t > 0)
            EXPECT_NE(shown[t - 1][m], shown[t][m]) << "monitor " << m << " kept its saver";
        }
      }
    }
  }
}

TEST(SaverPicker, ListKeepsTheStoredOrderAndRandomShowsEachMonitorEverySaverBeforeARepeat) {
  SaverPicker list(4, MonitorChoice::Each, OrderChoice::List, 1);
  const auto listed = Cycles(list, 3, 1);
  EXPECT_EQ((std::vector<size_t>{0, 1, 2}), listed[0]);
  EXPECT_EQ((std::vector<size_t>{1, 2, 3}), listed[1]);
  for (uint32_t seed : {1u, 2u, 99u}) {
    SaverPicker random(5, MonitorChoice::Each, OrderChoice::Random, seed);
    const auto shown = Cycles(random, 2, 4);
    for (size_t m = 0; m < 2; ++m) {
      std::set<size_t> seen;
      for (const auto& moment : shown) seen.insert(moment[m]);
      EXPECT_EQ(5u, seen.size()) << "seed " << seed << ", monitor " << m;
    }
  }
}

TEST(SaverPicker, SameShowsOneSaverEverywhereAndMovesOnTogether) {
  SaverPicker picker(3, MonitorChoice::Same, OrderChoice::List, 1);
  const auto shown = Cycles(picker, 3, 4);
  for (size_t t = 0; t < shown.size(); ++t) {
    EXPECT_EQ(std::set<size_t>{shown[t][0]}, std::set<size_t>(shown[t].begin(), shown[t].end()));
    if (t > 0) EXPECT_NE(shown[t - 1][0], shown[t][0]);
  }
  // A monitor plugged in later joins the others.
  EXPECT_EQ(shown.back()[0], picker.SaverAt(picker.Join(3)));
}

TEST(SaverPicker, AReplacedSaverGivesWayToOneNoOtherMonitorShows) {
  SaverPicker picker(4, MonitorChoice::Each, OrderChoice::List, 1);
  const size_t first = picker.Join(0);  // shows 0; 1 and 2 are on the other monitors
  EXPECT_EQ(3u, picker.SaverAt(picker.Replace(first, {1, 2})));
  // Nothing free: the next one all the same, never its own again.
  EXPECT_EQ(1u, picker.SaverAt(picker.Replace(first, {1, 2, 3})));
  SaverPicker one(1, MonitorChoice::Each, OrderChoice::List, 1);
  EXPECT_EQ(0u, one.SaverAt(one.Replace(one.Join(0), {})));
}

TEST(SaverPicker, AnEmptyListShowsNothing) {
  SaverPicker none(0, MonitorChoice::Each, OrderChoice::Random, 1);
  EXPECT_EQ(NoSaver, none.SaverAt(none.Join(0)));
  EXPECT_EQ(NoSaver, none.SaverAt(none.Replace(0, {})));
}

TEST(CycleOver, CountsWholeSecondsAcrossTheTickCountersWrap) {
  struct Case {
    uint32_t cycle, started, now;
    bool over;
  } cases[] = {
      {0, 0, 0xFFFFFFFFu, false},
      {10, 1000, 10999, false},
      {10, 1000, 11000, true},
      {600, 0, 599999, false},
      {600, 0, 600000, true},
      {10, 0xFFFFF000u, 0x00001000u, false},
      {10, 0xFFFFF000u, 10000u - 0x1000u, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.over, CycleOver(c.cycle, c.started, c.now))
        << c.cycle << " s from " << c.started << " to " << c.now;
  }
}

TEST(PingState, HungOnlyWhenNoAnswerCameForLongerThanTheLimit) {
  PingState ping(5000);
  EXPECT_FALSE(ping.Hung(5000 + PingState::HangMs));
  EXPECT_TRUE(ping.Hung(5001 + PingState::HangMs));
  ping.Answered(5800);
  EXPECT_FALSE(ping.Hung(5800 + PingState::HangMs));
  // Across the tick counter's wrap.
  PingState wrapping(0xFFFFFF00u);
  EXPECT_FALSE(wrapping.Hung(0x100u));
  EXPECT_TRUE(wrapping.Hung(PingState::HangMs));
  // Held meanwhile: the time counts from the release.
  ping.Forgive(20000);
  EXPECT_FALSE(ping.Hung(20000 + PingState::HangMs));
}

}  // namespace
}  // namespace carousel

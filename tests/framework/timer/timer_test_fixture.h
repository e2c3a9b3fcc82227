#pragma once
// What every timer test starts and ends with: an open thread registry and the raised timer
// resolution, as a run has them; at the end every timer thread must have ended and freed its
// record, and the start steps are the platform's again.
#include <gtest/gtest.h>

#include <vector>

#include "morvane.h"
#include "test_saver.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"

inline void SetTimerPrefs(int noTimers, int debugTrace) {
  ScrPrefs* prefs = ScrGetPrefs();
  ASSERT_NE(nullptr, prefs);
  prefs->noTimers = noTimers;
  prefs->debugTrace = debugTrace;
  ScrSetPrefs(prefs);
}

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTimerPrefs(0, 0);
    morvane::OpenThreadRegistry();
    morvane::RaiseTimerResolution();
    recordsBefore = morvane::liveTimerRecords;
  }

  void TearDown() override {
    for (HWND window : windows) {
      if (IsWindow(window)) DestroyWindow(window);
    }
    EXPECT_TRUE(morvane::AwaitTimerThreads(5000));
    morvane::CloseThreadRegistry();
    morvane::RestoreTimerResolution();
    morvane::timerStartSteps = morvane::platformTimerStartSteps;
    SetTimerPrefs(0, 0);
    EXPECT_EQ(recordsBefore, morvane::liveTimerRecords);
  }

  HWND Saver(TickScript* script, bool withSlot = true) {
    HWND window = CreateTestSaver(script, withSlot);
    windows.push_back(window);
    return window;
  }

  HWND SwallowingSaver(TickScript* script) {
    HWND window = CreateSwallowingSaver(script);
    windows.push_back(window);
    return window;
  }

  static HANDLE ThreadOf(HWND window) {
    morvane::TimerRecord* record = morvane::LookUpTimerRecord(window);
    return record ? record->threadHandle : nullptr;
  }

  LONG recordsBefore = 0;
  std::vector<HWND> windows;
};

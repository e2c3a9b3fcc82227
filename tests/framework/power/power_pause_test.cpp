// Ticks nobody sees, in process: a full-screen run whose display goes off, whose session is
// locked, a preview whose host is hidden; the battery's minimum period through a faked power
// source; and the frame figures of a saver whose tick takes a known time. The messages come as
// the system sends them.
#include "core/library.h"
#include "displays/display_run.h"
#include "power/power_state.h"
#include "run/saver_run.h"
#include "settings/prefs.h"
#include "saver_fixture.h"
#include "test_saver.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"
#include "window/saver_windows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

using namespace morvane;

namespace {

int ListOneMonitor(DesktopMonitor* monitors, int capacity) {
  if (capacity < 1) return 0;
  monitors[0] = {{0, 0, 320, 240}, true, "P"};
  return 1;
}

volatile LONG ticks;
DWORD tickBusyMs;  // how long each tick takes
LRESULT tickAnswer = 20;

LRESULT CALLBACK TickingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SCRM_TIMER) {
    InterlockedIncrement(&ticks);
    if (tickBusyMs) Sleep(tickBusyMs);
    return tickAnswer;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

// A POWERBROADCAST_SETTING as the system builds it: the setting, four bytes of length, the data.
struct Notice {
  GUID setting;
  DWORD dataLength;
  DWORD value;
};

const GUID consoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
const GUID acDcPowerSource = {
    0x5D3E9A59, 0xE9D5, 0x4B00, {0xA6, 0xBD, 0xFF, 0x34, 0xFF, 0x51, 0x65, 0x48}};
const WPARAM powerSettingChange = 0x8013;

void SendSetting(HWND window, const GUID& setting, DWORD value, DWORD length = sizeof(DWORD)) {
  Notice notice = {setting, length, value};
  SendMessageA(window, WM_POWERBROADCAST, powerSettingChange, reinterpret_cast<LPARAM>(&notice));
}

ScrFrameFigures Figures() {
  ScrFrameFigures figures = {};
  figures.size = sizeof figures;
  return figures;
}

// The 1 ms timer resolution as the run asks for it: raises and releases counted, never made.
volatile LONG raises, releases;
UINT CountRaise(UINT) {
  InterlockedIncrement(&raises);
  return 0;
}
UINT CountRelease(UINT) {
  InterlockedIncrement(&releases);
  return 0;
}
bool Holding() {
  return raises == releases + 1;
}
bool Released() {
  return raises == releases;
}

bool fakeBattery;
bool FakeSource() {
  return fakeBattery;
}

class PowerPauseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    ResetPrefs();
    ChangePrefs([](ScrPrefs& p) { p.noTimers = 0; });
    savedRun = saverRun;
    RegisterSaverClass(GetModuleHandleA(nullptr), plainSaverClass, TickingProc, BLACK_BRUSH);
    saverRun.executors = plainExecutors;
    saverRun.instance = GetModuleHandleA(nullptr);
    displayRun.listMonitors = ListOneMonitor;
    powerState.sourceIsBattery = FakeSource;
    fakeBattery = false;
    ticks = 0;
    tickBusyMs = 0;
    tickAnswer = 20;
    raises = releases = 0;
    timerResolutionSteps = {CountRaise, CountRelease};
    OpenThreadRegistry();
    RaiseTimerResolution();
  }

  void TearDown() override {
    if (displayRun.active) {
      DestroyRunSaverWindows();
      Pump([] { return false; }, 50);
      EndDisplayRun();
    }
    if (host) DestroyWindow(host);
    libraryState.saverRunning = false;
    EXPECT_TRUE(AwaitTimerThreads(TimerThreadWaitLimit));
    CloseThreadRegistry();
    RestoreTimerResolution();
    EXPECT_TRUE(Released()) << raises << " raises, " << releases << " releases";
    timerResolutionSteps = platformTimerResolutionSteps;
    powerState.sourceIsBattery = nullptr;
    powerState.batteryPeriodMs = DefaultBatteryPeriodMs;
    displayRun.listMonitors = ListSystemMonitors;
    saverRun = savedRun;
    ResetPrefs();
    UnregisterClassA(plainSaverClass, GetModuleHandleA(nullptr));
  }

  HWND StartFullScreen() {
    libraryState.saverRunning = true;
    EXPECT_TRUE(StartDisplayRun(saverRun.executors.makeSaverWindow));
    return LeadSaverWindow();
  }

  // Dispatches messages until done() or limitMs pass; a WM_QUIT is dropped.
  static bool Pump(const std::function<bool()>& done, DWORD limitMs) {
    DWORD start = GetTickCount();
    while (!done()) {
      if (GetTickCount() - start >= limitMs) return done();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) DispatchMessageA(&message);
      }
    }
    return true;
  }

  static bool Ticking(DWORD limitMs = 3000) {
    LONG before = ticks;
    return Pump([before] { return ticks >= before + 3; }, limitMs);
  }

  // Pausing: after the tick that may be under way, no tick over two seconds of messages.
  static bool StaysStill() {
    Pump([] { return false; }, 100);
    LONG before = ticks;
    Pump([] { return false; }, 2000);
    return ticks == before;
  }

  SaverRun savedRun;
  HWND host = nullptr;
};

TEST_F(PowerPauseTest, TheDisplayGoingOffPausesTheTicksUntilItComesOnAgain) {
  HWND saver = StartFullScreen();
  ASSERT_TRUE(saver);
  ASSERT_TRUE(Ticking());
  EXPECT_EQ(1, raises) << "the timer resolution was not raised for the ticks";
  EXPECT_TRUE(Holding());
  // As the system tells the registered window, then as it tells the saver window itself.
  SendSetting(displayRun.watcher, consoleDisplayState, 0);
  EXPECT_TRUE(StaysStill()) << "ticks went on with the display off";
  EXPECT_TRUE(Released()) << "the timer resolution stayed raised with the display off";
  EXPECT_TRUE(IsWindow(saver)) << "the saver closed when the display went off";
  SendSetting(displayRun.watcher, consoleDisplayState, 2);  // dimmed: still seen
  EXPECT_TRUE(Ticking(1000)) << "no ticks once the display came back";
  EXPECT_EQ(2, raises) << "the timer resolution was not taken back with the ticks";
  EXPECT_TRUE(Holding());
  SendSetting(saver, consoleDisplayState, 0);
  EXPECT_TRUE(StaysStill());
  SendSetting(saver, consoleDisplayState, 1);
  EXPECT_TRUE(Ticking(1000));
}

TEST_F(PowerPauseTest, MonitorPowerCommandsAndSessionLocksPauseTheTicksToo) {
  HWND saver = StartFullScreen();
  ASSERT_TRUE(Ticking());
  SendMessageA(saver, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
  EXPECT_TRUE(StaysStill()) << "SC_MONITORPOWER off";
  SendMessageA(saver, WM_SYSCOMMAND, SC_MONITORPOWER, static_cast<LPARAM>(-1));
  EXPECT_TRUE(Ticking(1000));
  SendMessageA(saver, WM_SYSCOMMAND, SC_MONITORPOWER, 1);
  EXPECT_TRUE(StaysStill()) << "SC_MONITORPOWER low power";
  SendMessageA(saver, WM_SYSCOMMAND, SC_MONITORPOWER, static_cast<LPARAM>(-1));
  EXPECT_TRUE(Ticking(1000));
  SendMessageA(displayRun.watcher, WM_WTSSESSION_CHANGE, 7, 1);  // locked
  EXPECT_TRUE(StaysStill()) << "session locked";
  EXPECT_TRUE(Released()) << "the timer resolution stayed raised in a locked session";
  // Display on while still locked: nobody sees it yet.
  SendSetting(displayRun.watcher, consoleDisplayState, 1);
  EXPECT_TRUE(StaysStill());
  SendMessageA(displayRun.watcher, WM_WTSSESSION_CHANGE, 8, 1);  // unlocked
  EXPECT_TRUE(Ticking(1000));
  EXPECT_TRUE(Holding());
  EXPECT_TRUE(IsWindow(saver));
}

TEST_F(PowerPauseTest, NoticesWithoutTheirValueAndUnknownSettingsChangeNothing) {
  HWND saver = StartFullScreen();
  ASSERT_TRUE(Ticking());
  SendSetting(displayRun.watcher, consoleDisplayState, 0, 0);
  SendSetting(displayRun.watcher, consoleDisplayState, 0, 3);
  SendMessageA(displayRun.watcher, WM_POWERBROADCAST, powerSettingChange, 0);
  SendSetting(saver, GUID{1, 2, 3, {4}}, 0);
  SendMessageA(saver, WM_WTSSESSION_CHANGE, 5, 0);  // a logon elsewhere
  EXPECT_TRUE(Ticking(1000));
  EXPECT_FALSE(powerState.displayOff);
  EXPECT_FALSE(powerState.sessionLocked);
}

TEST_F(PowerPauseTest, ARunEndedWhilePausedLeavesNoPauseForTheNext) {
  StartFullScreen();
  ASSERT_TRUE(Ticking());
  SendSetting(displayRun.watcher, consoleDisplayState, 0);
  EXPECT_TRUE(StaysStill());
  DestroyRunSaverWindows();
  EndDisplayRun();
  EXPECT_TRUE(AwaitTimerThreads(TimerThreadWaitLimit)) << "a paused timer did not end";
  EXPECT_FALSE(TicksPausedByPower());
  StartFullScreen();
  EXPECT_TRUE(Ticking());
}

TEST_F(PowerPauseTest, APreviewWhoseHostIsHiddenOrMinimisedPausesUntilShown) {
  libraryState.saverRunning = true;
  host = CreateWindowExA(0, "Static", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150,
                         nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(host);
  HWND preview = saverRun.executors.makePreviewWindow(host, false);
  ASSERT_TRUE(preview);
  ASSERT_TRUE(Ticking());
  ShowWindow(host, SW_HIDE);
  EXPECT_TRUE(StaysStill()) << "a hidden preview ticked on";
  ShowWindow(host, SW_SHOWNOACTIVATE);
  EXPECT_TRUE(Ticking(2000)) << "the preview stayed paused once shown";
  ShowWindow(host, SW_MINIMIZE);
  EXPECT_TRUE(StaysStill()) << "a minimised preview ticked on";
  ShowWindow(host, SW_RESTORE);
  EXPECT_TRUE(Ticking(2000));
  EXPECT_EQ(0, raises) << "a preview raised the timer resolution";
}

TEST_F(PowerPauseTest, OnBatteryFullScreenTicksKeepTheMinimumPeriodAndFollowThePowerSource) {
  tickAnswer = 5;
  fakeBattery = true;
  HWND saver = StartFullScreen();
  ASSERT_TRUE(Pump([] { return ticks >= 15; }, 5000));
  ScrFrameFigures battery = Figures();
  ASSERT_TRUE(ScrGetFrameFigures(saver, &battery));
  EXPECT_GE(battery.meanIntervalMs, 30.0) << "ticks came closer than the battery period";
  // On mains again, as the system says it: ticks as fast as asked.
  SendSetting(displayRun.watcher, acDcPowerSource, 0);
  Pump([] { return false; }, 100);
  ScrFrameFigures before = Figures();
  ASSERT_TRUE(ScrGetFrameFigures(saver, &before));
  LONG start = ticks;
  Pump([start] { return ticks >= start + 40; }, 5000);
  ScrFrameFigures after = Figures();
  ASSERT_TRUE(ScrGetFrameFigures(saver, &after));
  double recentMean =
      (after.meanIntervalMs * (after.ticks - 1) - before.meanIntervalMs * (before.ticks - 1)) /
      (after.ticks - before.ticks);
  EXPECT_LT(recentMean, 20.0) << "ticks on mains still kept the battery period";
}

TEST_F(PowerPauseTest, ASaverMayOptOutOfTheBatteryPeriodButNotWhileRunning) {
  EXPECT_FALSE(ScrSetBatteryPeriod(-1));
  EXPECT_FALSE(ScrSetBatteryPeriod(1001));
  EXPECT_TRUE(ScrSetBatteryPeriod(0));
  tickAnswer = 5;
  fakeBattery = true;
  HWND saver = StartFullScreen();
  EXPECT_FALSE(ScrSetBatteryPeriod(33));
  ASSERT_TRUE(Pump([] { return ticks >= 40; }, 5000));
  ScrFrameFigures f = Figures();
  ASSERT_TRUE(ScrGetFrameFigures(saver, &f));
  EXPECT_LT(f.meanIntervalMs, 20.0);
}

TEST_F(PowerPauseTest, FrameFiguresOfASaverWhoseTickTakesAKnownTime) {
  tickBusyMs = 10;
  tickAnswer = 40;
  HWND saver = StartFullScreen();
  ASSERT_TRUE(Pump([] { return ticks >= 25; }, 10000));
  ScrFrameFigures f = Figures();
  ASSERT_TRUE(ScrGetFrameFigures(saver, &f));
  EXPECT_GE(f.ticks, 25u);
  EXPECT_LE(f.ticks, static_cast<unsigned>(ticks));
  EXPECT_GT(f.meanIntervalMs, 35.0);
  EXPECT_LT(f.meanIntervalMs, 80.0);
  EXPECT_GE(f.p99IntervalMs, f.meanIntervalMs - 5.0);
  // 10 ms of every 40: a quarter, loosely.
  EXPECT_GT(f.busyShare, 0.15);
  EXPECT_LT(f.busyShare, 0.5);
  // With debugTrace, the run's end traces each window's figures.
  currentPrefs.debugTrace = 1;  // the preferences are fixed while the saver runs
  TraceCapture traces;
  ScrFrameFigures last = Figures();
  ASSERT_TRUE(ScrGetFrameFigures(saver, &last));
  EXPECT_FALSE(traces.Has("Frames of window"));
  DestroyRunSaverWindows();
  currentPrefs.debugTrace = 0;
  EXPECT_TRUE(traces.Has("Frames of window")) << "no figures traced at the end";
}

TEST_F(PowerPauseTest, FrameFiguresAreAskedForProperly) {
  HWND saver = StartFullScreen();
  ASSERT_TRUE(Ticking());
  // Bad requests leave the record alone.
  ScrFrameFigures wrongSize = Figures();
  wrongSize.size -= 1;
  wrongSize.ticks = 77;
  EXPECT_FALSE(ScrGetFrameFigures(saver, &wrongSize));
  EXPECT_EQ(77u, wrongSize.ticks);
  EXPECT_FALSE(ScrGetFrameFigures(saver, nullptr));
  ScrFrameFigures none = Figures();
  EXPECT_FALSE(ScrGetFrameFigures(nullptr, &none));
  EXPECT_FALSE(ScrGetFrameFigures(GetDesktopWindow(), &none));
  EXPECT_FALSE(ScrGetFrameFigures(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ff4)), &none));
}

}  // namespace

#pragma once
// What the system says about power while a full-screen saver runs: whether anyone can see the
// display (off, or the session locked) and whether the machine runs on battery. The ticks pause
// while nobody can see them, and come no closer than the battery period on battery. The framework
// never asks the system to keep the display on, so the display's own power-off keeps working.
// Everything here belongs to the saver thread.
#include <windows.h>

namespace morvane {

enum { DefaultBatteryPeriodMs = 33, LongestBatteryPeriodMs = 1000 };

struct PowerState {
  bool displayOff = false;     // the console display is off or in low power
  bool sessionLocked = false;  // the user's session is locked
  bool onBattery = false;
  int batteryPeriodMs = DefaultBatteryPeriodMs;  // chosen before a run, 0 for none
  bool (*sourceIsBattery)() = nullptr;           // tests fake the power source; null: the system's
  HANDLE displayNotice = nullptr;                // the power-setting registrations of the run
  HANDLE sourceNotice = nullptr;
  HWND sessionWindow = nullptr;  // registered for session changes
};

extern PowerState powerState;

bool TicksPausedByPower();
// The minimum period of full-screen ticks now: the battery period on battery, else 0.
LONG CurrentTickFloorMs();

// Registers window (top-level) for the display state, the power source and session changes
// where the system offers them (traced where it does not), and reads the power source.
void StartPowerWatch(HWND window);
// Ends the registrations and forgets the run's display and session state: no pause remains.
void EndPowerWatch();

// The messages, as the system sends them to the registered window or the saver windows.
void OnPowerBroadcast(WPARAM event, LPARAM data);
void OnMonitorPower(LPARAM state);
void OnSessionChange(WPARAM event);

}  // namespace morvane

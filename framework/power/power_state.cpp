#include "power/power_state.h"

#include "core/system_library.h"

#include <cstring>
#include <initializer_list>

#include "core/trace.h"
#include "gamepad/run_pads.h"
#include "timer/timer.h"

namespace morvane {

PowerState powerState;

namespace {

// The power settings, as the system names them.
const GUID consoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
const GUID monitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};
const GUID acDcPowerSource = {
    0x5D3E9A59, 0xE9D5, 0x4B00, {0xA6, 0xBD, 0xFF, 0x34, 0xFF, 0x51, 0x65, 0x48}};

// The system's POWERBROADCAST_SETTING: the setting, the length of its data, the data.
struct PowerSettingNotice {
  GUID setting;
  DWORD dataLength;
  UCHAR data[1];
};

const WPARAM powerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
const WPARAM sessionLock = 7;              // WTS_SESSION_LOCK
const WPARAM sessionUnlock = 8;            // WTS_SESSION_UNLOCK
const DWORD deviceNotifyWindowHandle = 0;
const DWORD notifyForThisSession = 0;

typedef HANDLE(WINAPI* RegisterPowerNotice)(HANDLE recipient, const GUID* setting, DWORD flags);
typedef BOOL(WINAPI* UnregisterPowerNotice)(HANDLE notice);
typedef BOOL(WINAPI* RegisterSessionNotice)(HWND window, DWORD flags);
typedef BOOL(WINAPI* UnregisterSessionNotice)(HWND window);

bool SystemRunsOnBattery() {
  SYSTEM_POWER_STATUS status = {};
  return GetSystemPowerStatus(&status) && status.ACLineStatus == 0;
}

bool ReadsBattery() {
  return powerState.sourceIsBattery ? powerState.sourceIsBattery() : SystemRunsOnBattery();
}

void SetDisplayOff(bool off) {
  if (powerState.displayOff == off) return;
  powerState.displayOff = off;
  Trace(off ? "Power: the display is off: ticks pause" : "Power: the display is on: ticks resume");
  ApplyTickGates();
  PauseRunPads(TicksPausedByPower());
}

void SetOnBattery(bool battery) {
  if (powerState.onBattery == battery) return;
  powerState.onBattery = battery;
  Trace(battery ? "Power: on battery: ticks at the battery period, timers one level lower"
                : "Power: on mains: ticks as the saver asks");
  ApplyTickGates();
}

HANDLE RegisterSetting(RegisterPowerNotice registerNotice, HWND window, const GUID& setting) {
  return registerNotice ? registerNotice(window, &setting, deviceNotifyWindowHandle) : nullptr;
}

// A notice's first four bytes as a number; false when it carries fewer.
bool ReadNoticeNumber(const PowerSettingNotice& notice, DWORD* value) {
  if (notice.dataLength < sizeof(DWORD)) return false;
  std::memcpy(value, notice.data, sizeof(DWORD));
  return true;
}

void OnPowerSetting(const PowerSettingNotice* notice) {
  DWORD value = 0;
  if (!notice || !ReadNoticeNumber(*notice, &value)) {
    Trace("Power: a setting change without its value, ignored");
    return;
  }
  if (IsEqualGUID(notice->setting, consoleDisplayState)) {
    SetDisplayOff(value == 0);  // 1 on, 2 dimmed: still seen
  } else if (IsEqualGUID(notice->setting, monitorPowerOn)) {
    SetDisplayOff(value == 0);
  } else if (IsEqualGUID(notice->setting, acDcPowerSource)) {
    SetOnBattery(value != 0);  // 1 battery, 2 a short-term source (a UPS)
  }
}

}  // namespace

bool TicksPausedByPower() {
  return powerState.displayOff || powerState.sessionLocked;
}

LONG CurrentTickFloorMs() {
  return powerState.onBattery ? powerState.batteryPeriodMs : 0;
}

void StartPowerWatch(HWND window) {
  EndPowerWatch();
  auto registerNotice =
      SystemFunction<RegisterPowerNotice>("user32.dll", "RegisterPowerSettingNotification");
  if (!registerNotice) Trace("Power: no power-setting notifications on this system");
  powerState.displayNotice = RegisterSetting(registerNotice, window, consoleDisplayState);
  if (!powerState.displayNotice) {
    powerState.displayNotice = RegisterSetting(registerNotice, window, monitorPowerOn);
  }
  if (registerNotice && !powerState.displayNotice) Trace("Power: display state not available");
  powerState.sourceNotice = RegisterSetting(registerNotice, window, acDcPowerSource);
  auto registerSession =
      SystemFunction<RegisterSessionNotice>("wtsapi32.dll", "WTSRegisterSessionNotification");
  if (registerSession && registerSession(window, notifyForThisSession)) {
    powerState.sessionWindow = window;
  } else {
    Trace("Power: no session lock notifications on this system");
  }
  powerState.onBattery = ReadsBattery();
  ApplyTickGates();
}

void EndPowerWatch() {
  auto unregisterNotice =
      SystemFunction<UnregisterPowerNotice>("user32.dll", "UnregisterPowerSettingNotification");
  for (HANDLE* notice : {&powerState.displayNotice, &powerState.sourceNotice}) {
    if (*notice && unregisterNotice) unregisterNotice(*notice);
    *notice = nullptr;
  }
  if (powerState.sessionWindow) {
    auto unregisterSession =
        SystemFunction<UnregisterSessionNotice>("wtsapi32.dll", "WTSUnRegisterSessionNotification");
    if (unregisterSession) unregisterSession(powerState.sessionWindow);
    powerState.sessionWindow = nullptr;
  }
  powerState.displayOff = false;
  powerState.sessionLocked = false;
  powerState.onBattery = false;
  ApplyTickGates();
}

void OnPowerBroadcast(WPARAM event, LPARAM data) {
  if (event == powerSettingChange) {
    OnPowerSetting(reinterpret_cast<const PowerSettingNotice*>(data));
  } else if (event == PBT_APMPOWERSTATUSCHANGE) {
    SetOnBattery(ReadsBattery());
  }
}

void OnMonitorPower(LPARAM state) {
  // -1 on, 1 low power, 2 off.
  SetDisplayOff(state == 1 || state == 2);
}

void OnSessionChange(WPARAM event) {
  if (event != sessionLock && event != sessionUnlock) return;
  powerState.sessionLocked = event == sessionLock;
  Trace(powerState.sessionLocked ? "Session locked: ticks pause"
                                 : "Session unlocked: ticks resume");
  ApplyTickGates();
  PauseRunPads(TicksPausedByPower());
}

}  // namespace morvane

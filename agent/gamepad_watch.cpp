#include "gamepad_watch.h"

#include <cstring>

#include "agent_state.h"
#include "core/system_library.h"
#include "displays/corner_mode.h"
#include "gamepad/pad_poller.h"
#include "idle_reset.h"
#include "trace.h"

namespace corners {

namespace {

constexpr char gamepadsValue[] = "Gamepads";

// GUID_CONSOLE_DISPLAY_STATE: the display is off (0), on (1) or dimmed (2).
const GUID consoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
const WPARAM powerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE

typedef HANDLE(WINAPI* RegisterPowerNotice)(HANDLE recipient, const GUID* setting, DWORD flags);
typedef BOOL(WINAPI* UnregisterPowerNotice)(HANDLE notice);

struct PowerSettingNotice {
  GUID setting;
  DWORD dataLength;
  UCHAR data[1];
};

struct GamepadWatch {
  bool count = true;  // the user's choice
  morvane::PadPoller poller;
  morvane::IdleResetPacer pacer;
  HANDLE displayNotice = nullptr;
  bool displayOff = false;  // as the last notice said
};

GamepadWatch watch;

void WatchDisplayPower() {
  if (watch.displayNotice) return;
  auto registerNotice = morvane::SystemFunction<RegisterPowerNotice>(
      "user32.dll", "RegisterPowerSettingNotification");
  // NOTE: before Vista there is no display notice; pads are then looked at with the display off
  // too, still only every few seconds while none is connected.
  if (registerNotice) {
    watch.displayNotice =
        registerNotice(agentRun.window, &consoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
  }
  if (!watch.displayNotice) Trace("gamepads: no display power notice");
}

void StopWatchingDisplayPower() {
  auto unregisterNotice = morvane::SystemFunction<UnregisterPowerNotice>(
      "user32.dll", "UnregisterPowerSettingNotification");
  if (watch.displayNotice && unregisterNotice) unregisterNotice(watch.displayNotice);
  watch.displayNotice = nullptr;
}

void StartPolling() {
  if (watch.poller.Running()) return;
  if (!watch.poller.Start(agentRun.window, gamepadMessage)) {
    Trace("gamepads: no XInput library, so gamepads are not watched");
    return;
  }
  // A poller started again while the display is off stays paused until it comes back.
  watch.poller.Pause(watch.displayOff);
  WatchDisplayPower();
  Trace("gamepads: read through %s", watch.poller.LibraryName());
}

void ArmPacingTimer(DWORD now) {
  UINT left = watch.pacer.WaitLeft(now);
  if (left) SetTimer(agentRun.window, GamepadResetTimer, left, nullptr);
}

void StopPolling() {
  if (agentRun.window) KillTimer(agentRun.window, GamepadResetTimer);
  StopWatchingDisplayPower();
  if (!watch.poller.Running()) return;
  watch.poller.Stop();
  watch.pacer = morvane::IdleResetPacer();
  Trace("gamepads: no longer watched");
}

}  // namespace

bool StoredGamepadChoice() {
  DWORD value = 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, morvane::hotCornersKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return true;
  }
  DWORD stored = 0, type = 0, size = sizeof stored;
  if (RegQueryValueExA(key, gamepadsValue, nullptr, &type, reinterpret_cast<BYTE*>(&stored),
                       &size) == ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof stored) {
    value = stored;
  }
  RegCloseKey(key);
  return value != 0;
}

bool WriteGamepadChoice(bool count) {
  DWORD value = count ? 1 : 0;
  HKEY key;
  LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, morvane::hotCornersKey, 0, nullptr, 0,
                               KEY_SET_VALUE, nullptr, &key, nullptr);
  if (error == ERROR_SUCCESS) {
    error = RegSetValueExA(key, gamepadsValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                           sizeof value);
    RegCloseKey(key);
  }
  if (error != ERROR_SUCCESS) Trace("gamepad choice not stored (error %ld)", error);
  return error == ERROR_SUCCESS;
}

void StartGamepadWatch() {
  watch.count = StoredGamepadChoice();
  Trace("gamepads count: %s", watch.count ? "on" : "off");
  if (watch.count) StartPolling();
}

void EndGamepadWatch() {
  StopPolling();
}

void SetGamepadsCount(bool count) {
  WriteGamepadChoice(count);
  watch.count = count;
  Trace("gamepads count: %s", count ? "on" : "off");
  if (count) {
    StartPolling();
  } else {
    StopPolling();
  }
}

bool GamepadsCount() {
  return watch.count;
}

void OnGamepadInput() {
  // A notice posted just before the watch stopped.
  if (!watch.poller.Running()) return;
  DWORD now = GetTickCount();
  if (watch.pacer.OnInput(now)) {
    Trace("gamepad used");
    ResetIdleTime();
    return;
  }
  ArmPacingTimer(now);
}

void OnGamepadResetTimer() {
  KillTimer(agentRun.window, GamepadResetTimer);
  if (!watch.poller.Running()) return;
  DWORD now = GetTickCount();
  if (watch.pacer.OnWaitOver(now)) {
    Trace("gamepad used meanwhile");
    ResetIdleTime();
    return;
  }
  ArmPacingTimer(now);
}

void OnGamepadPowerBroadcast(WPARAM event, LPARAM data) {
  const PowerSettingNotice* notice = reinterpret_cast<const PowerSettingNotice*>(data);
  if (event != powerSettingChange || !notice || notice->dataLength < sizeof(DWORD) ||
      !IsEqualGUID(notice->setting, consoleDisplayState)) {
    return;
  }
  DWORD state;
  std::memcpy(&state, notice->data, sizeof state);
  Trace(state == 0 ? "display off: gamepads not looked at" : "display on: gamepads looked at");
  watch.displayOff = state == 0;
  watch.poller.Pause(watch.displayOff);
}

}  // namespace corners

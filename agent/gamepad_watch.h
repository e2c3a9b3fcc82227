#pragma once
// Gamepads keep the idle saver away: while the user's choice allows it ("Gamepads count as
// activity", on at first, kept under the agent's key), a pad in use resets the session's idle time
// as input does, at most once every few seconds (pad_activity.h). Nothing is polled while the
// display is off. Everything here belongs to the agent's window thread.
#include <windows.h>

namespace corners {

// Posted by the poller thread to the agent's window; the pacing timer's id.
constexpr UINT gamepadMessage = WM_APP + 20;
enum : UINT_PTR { GamepadResetTimer = 20 };

// The stored choice; a missing or unreadable value is on.
bool StoredGamepadChoice();
bool WriteGamepadChoice(bool count);

// At the agent's start and end. Start reads the choice and starts looking when it is on.
void StartGamepadWatch();
void EndGamepadWatch();
// The tray item and the switch: store the choice and follow it at once.
void SetGamepadsCount(bool count);
bool GamepadsCount();

// The window's messages: a pad was used, the pacing timer ran out, a power notice.
void OnGamepadInput();
void OnGamepadResetTimer();
void OnGamepadPowerBroadcast(WPARAM event, LPARAM data);

}  // namespace corners

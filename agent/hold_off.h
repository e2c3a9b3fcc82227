#pragma once
// The "never" corner's hold-off, taken while the pointer rests there and given back when it
// leaves, when the corners pause, when the agent quits and when the session ends: the session's
// idle time is reset as input resets it, often enough that the idle screen saver's timeout never
// runs out, and the display is kept awake. Nothing of it is a setting: when the agent ends in any
// way, however abruptly, the resets stop, the execution state dies with the process, and the idle
// saver comes after its usual timeout.

#include <windows.h>

namespace corners {

// Chooses how the calls are made: the system's, or with a test log stand-ins that record each
// call there before making it.
void ChooseExecutionState();

void TakeHoldOff();
// Gives back what TakeHoldOff took; nothing when nothing is held.
void ReleaseHoldOff();

// The window's timer of the resets while the hold-off is taken.
enum : UINT_PTR { IdleResetTimer = 4 };
void OnIdleResetTimer();

}  // namespace corners

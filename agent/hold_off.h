#pragma once
// The "never" corner's hold-off, taken while the pointer rests there and given back when it
// leaves, when the corners pause, when the agent quits and when the session ends: the idle screen
// saver is switched off for the session (not in the user's stored settings), and the display is
// kept awake.

namespace corners {

// Chooses how the calls are made: the system's, or with a test log stand-ins that record each
// call there before making it.
void ChooseExecutionState();

void TakeHoldOff();
// Gives back what TakeHoldOff took; nothing when nothing is held.
void ReleaseHoldOff();

}  // namespace corners

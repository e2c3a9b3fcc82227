#pragma once
// The "never" corner's hold-off: the documented request that keeps the idle screen saver and
// display sleep away, taken while the pointer rests there and given back when it leaves.

namespace corners {

// Chooses how the calls are made: the system's, or with a test log a stand-in that records each
// call there before making it.
void ChooseExecutionState();

void TakeHoldOff();
void ReleaseHoldOff();

}  // namespace corners

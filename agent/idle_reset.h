#pragma once
// Counting as the user's input for the session's idle time, as a key or the mouse does: the idle
// screen saver's timeout and the display's then run from now. Used while something the system
// does not see as input keeps the user present (the pointer resting in a "never" corner, a
// gamepad in use). Nothing outlives the agent: once it ends, the idle time simply grows again.

namespace corners {

// One reset, made on the agent's window thread; false when the system refused the input (a
// desktop the agent cannot reach, such as a secure one). Traced with a test log.
bool ResetIdleTime();

}  // namespace corners

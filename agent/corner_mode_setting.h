#pragma once
// The user's choice of hot corners (the desktop's or every monitor's), kept under the agent's own
// key. Agent's window thread.
#include "displays/corner_mode.h"

namespace corners {

// Reads the choice into agentRun.cornerMode; a missing or unreadable value is the desktop's.
void ReadCornerMode();

// Stores the choice for this user; false, with a trace, when it cannot be written.
bool WriteCornerMode(morvane::CornerMode mode);

}  // namespace corners

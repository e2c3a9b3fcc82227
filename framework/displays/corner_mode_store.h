#pragma once
// The user's stored choice of hot corners (corner_mode.h), as the agent and a starting saver read
// it. Needs nothing else of the framework: the hot-corner agent carries this file too. Any thread.
#include "displays/corner_mode.h"

namespace morvane {

// The choice under the agent's key; a missing or unreadable value is the desktop's corners.
CornerMode StoredCornerMode();

}  // namespace morvane

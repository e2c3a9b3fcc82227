#pragma once
// What the running agent does for a command, from its menu or handed over by a second start.
#include "switches.h"

namespace corners {

void ExecuteCommand(const Switches& switches);

}  // namespace corners

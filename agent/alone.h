#pragma once
// A command run without an agent in the session ("/now", "/settings"): it needs a window of its
// own, to ask the system for the saver and to hear the file check's answer, until it is done.
#include <windows.h>

#include "switches.h"

namespace corners {

// Runs the command to its end; false when no window could be made for it.
bool RunAlone(HINSTANCE instance, const Switches& switches);

}  // namespace corners

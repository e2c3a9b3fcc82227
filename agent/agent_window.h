#pragma once
// The agent's hidden window: it hears display changes, the settings notice, handed-over commands
// and the icon's menu, and samples the pointer on its timer.
#include <windows.h>

namespace corners {

// Registers the class and makes the window (top-level, never shown, so that display-change
// broadcasts reach it); false on failure.
bool CreateAgentWindow(HINSTANCE instance);

}  // namespace corners

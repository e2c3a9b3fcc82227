#pragma once
// The agent's hidden window: it hears display changes, the settings notice, handed-over commands
// and the icon's menu, and samples the pointer on its timer.
#include <windows.h>

namespace corners {

// Registers the class and makes the window (top-level, never shown, so that display-change
// broadcasts reach it); false on failure.
bool CreateAgentWindow(HINSTANCE instance);

// A hidden top-level window of a class of its own with that procedure: a tool window never shown,
// with no taskbar button, that display changes, broadcasts and the system's SC_SCREENSAVE answer
// reach. Null on failure. (The agent's, and a command's run without an agent.)
HWND MakeHiddenWindow(HINSTANCE instance, const char* className, WNDPROC procedure);

}  // namespace corners

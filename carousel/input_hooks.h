#pragma once
// Keys and mouse buttons anywhere in the session, whichever window has the activation or lies
// under the pointer (a saver's window of another process, a crashed saver's debugger), reach the
// run as the framework's own input on its windows. Everything belongs to the saver thread, whose
// message loop runs the hooks.
#include <windows.h>

namespace carousel {

// Starts watching for window (a full-screen window of the run); again with another window,
// retargets. False (traced) when the system refuses the hooks.
bool WatchInput(HWND window);
void StopWatchingInput();
// While the framework's dialog (the password prompt) is open, what is typed into it is its own.
void PauseInputWatch(bool paused);

}  // namespace carousel

#pragma once
// The session's own notices (WM_WTSSESSION_CHANGE) for a window, among them that the session is
// locked: the one sign that a lock asked of LockWorkStation happened. Window thread.
#include <windows.h>

namespace corners {

// False, with a trace, where the system offers no notices (wtsapi32 is looked up at run time).
bool WatchSession(HWND window);
void StopWatchingSession(HWND window);

// WM_WTSSESSION_CHANGE's handler: a lock reaches the "now" request.
void OnSessionChange(WPARAM event);

}  // namespace corners

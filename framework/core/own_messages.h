#pragma once
// The framework's own SCRM_ messages to a window, told apart from messages of the same numbers
// that a saver sends or posts itself: savers of the SDK's library use WM_APP + n freely, and the
// procedure in front of theirs (scrnsave_window.cpp) passes those on. Sends from the window's own
// thread carry a mark; the timer threads' ticks come from other threads.
#include <windows.h>

namespace morvane {

// SendMessageA with the mark set for the duration of the send.
LRESULT SendOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the message now being handled by window is the framework's. The mark is taken: messages
// that the handler's own loops (a dialog's) dispatch meanwhile are the saver's.
bool TakeOwnMessageMark(HWND window, UINT message);

}  // namespace morvane

#pragma once
// Gamepads during a full-screen run: from the run's start to its end a poller looks at them, and
// a pad in use reaches the run's first saver window as a key press would (saver_input.cpp).
// Previews and the configuration never start one. Everything here belongs to the saver thread.
#include <windows.h>

namespace morvane {

// Posted by the poller to the run's hidden watcher window (display_watch.cpp).
enum : UINT { PadInputMessage = WM_APP + 40 };

// Starts the run's poller, posting to watcher; traced either way.
void StartRunPads(HWND watcher);
void EndRunPads();
// Nobody sees the display (off, or the session locked): no pad is looked at meanwhile.
void PauseRunPads(bool paused);
// A pad was used: the run's first window decides, as for a key.
void OnRunPadInput(WPARAM padIndex);

}  // namespace morvane

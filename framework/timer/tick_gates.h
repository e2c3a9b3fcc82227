#pragma once
// Pausing ticks nobody sees: every live timer has a gate its thread blocks on while it is closed.
// The saver thread opens and closes the gates after the power state (display off, session
// locked) and after the visibility of previews.
#include <windows.h>

#include "timer/timer.h"

namespace morvane {

// The list of live timer records, which ApplyTickGates walks. Any thread.
void EnterLiveRecord(TimerRecord* record);
void LeaveLiveRecord(TimerRecord* record);

// A preview that nobody sees: hidden itself or through its host (a settings tab switched away),
// or inside a minimised top-level window.
bool PreviewIsHidden(HWND window);
// Closes the preview's gate instead of ticking it, and looks four times a second whether it
// shows again, which opens the gate. The tick's answer: 0, tick at once once open.
LRESULT PauseHiddenPreview(HWND window, TimerRecord* record);

}  // namespace morvane

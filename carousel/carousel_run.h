#pragma once
// Carousel's run: a saver of the user's running in preview mode inside each of its windows (one
// per monitor, made by the framework), changed after each cycle and whenever it crashes, ends or
// hangs, held while nobody can see it, and ended with the run. The windows call in here from their
// messages; everything belongs to the saver thread.
#include <windows.h>

namespace carousel {

// WM_CREATE of a window of the run (mode: its WindowMode) and its WM_DESTROY, which ends its saver.
void OpenScreen(HWND window, int mode);
void CloseScreen(HWND window);
// SCRM_TIMER: on the run's first full-screen window, the checks of every monitor; returns the
// milliseconds to the window's next tick.
LONG TickScreen(HWND window);
// WM_SIZE: the saver's window follows.
void FitScreen(HWND window);
// Whether a window shows a saver's window, rather than its own picture (previews) or black.
bool ScreenShowsSaver(HWND window);

// Nobody can see the run (the display off, the session locked) or can again: the savers are held
// or released.
enum class Blind { DisplayOff, SessionLocked };
void SetBlind(Blind reason, bool blind);

// SCRM_DIALOGACTIVE: while the framework's dialog (the password prompt) is open, the input typed
// into it ends nothing.
void SetDialogActive(bool active);

}  // namespace carousel

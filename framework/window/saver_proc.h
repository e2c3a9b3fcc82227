#pragma once
// The handlers behind DefSaverProc's message table. All run on the thread that owns the window.
// A window without a parent is the full-screen saver window; any other is a preview, which input
// never closes.
#include <windows.h>

namespace morvane {

bool IsFullScreen(HWND window);
// A trace line tagged "full DefSaverProc" or "preview DefSaverProc" after the window's kind.
void TraceWindow(HWND window, const char* text);
// Asks the window to close; WM_CLOSE makes the decision (password included).
void PostClose(HWND window);

// The framework's part of a new saver window: the user's settings, the window's mode, the input
// session of a full-screen window outside a full-screen run (a run starts its own once), the timer
// slot and the start request of its timer. Done once per window: from WM_CREATE when the saver
// passes it on, otherwise after the window was created.
void SetUpSaverWindow(HWND window, int mode);

// Window lifetime, closing and the framework's own messages (saver_proc.cpp).
void OnCreate(HWND window, CREATESTRUCTA* create);
void OnDestroy(HWND window);
LRESULT OnClose(HWND window);
LRESULT OnVerifyPassword(HWND window);
LRESULT OnActiveConfig(HWND window);
LRESULT OnSettingsChanged(HWND window, WPARAM flags, LPARAM settings);
LRESULT OnUnhandledTick();
void OnDialogActive(WPARAM active);

// Input and system requests (saver_input.cpp).
void OnDeactivation(HWND window, UINT message, WPARAM state, LPARAM other);
void OnSetCursor(HWND window);
void OnKeyDown(HWND window, WPARAM key);
void OnKeyUp(HWND window);
// A gamepad in use (gamepad/run_pads.cpp): closes as a key does.
void OnPadInput(HWND window);
bool SwallowsSysCommand(HWND window, WPARAM command, LPARAM lParam);
void OnMouseMove(HWND window);
void OnClosingClick(HWND window);
void OnActiveConfigClick(HWND window);

}  // namespace morvane

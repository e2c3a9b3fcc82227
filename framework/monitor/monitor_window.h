#pragma once
// The monitor control's window procedures and the handlers behind them.
#include <windows.h>

namespace morvane {

LRESULT CALLBACK MonitorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MonitorInnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Resizes a control laid out at any size to the picture's size, centred where it was placed, and
// gives a preview-mode control its inner window.
void OnMonitorCreate(HWND control);
// Composes picture, mask and corner marks off screen and copies them to the screen at once.
void OnMonitorPaint(HWND control);
// Opens the menu of the corner under point (client coordinates), its current state checked.
void OnMonitorClick(HWND control, POINT point);
// A corner menu choice: warns about the System Agent once, stores the state, tells the parent.
void OnMonitorCommand(HWND control, UINT commandId);

}  // namespace morvane

#pragma once
// The notification-area icon and its menu.
#include <windows.h>

namespace corners {

enum MenuCommand : UINT {
  MenuStartNow = 100,
  MenuPauseHour,
  MenuPauseUntilResumed,
  MenuResume,
  MenuSettings,
  MenuQuit,
  MenuEveryMonitor,
  MenuGamepads,
};

// Fires when a pause for a while ends, for the icon to show the corners active again.
enum : UINT_PTR { PauseEndTimer = 3 };

// The icon of the state the corners are in, active or paused, at the small-icon size of the
// agent's DPI, with a tooltip that says the state ("Hot corners paused until 14:30"). Show adds it
// (at the start, and when the shell was restarted); Update follows a change of state and adds it
// when the shell was not there before.
void ShowTrayIcon();
void UpdateTrayIcon();
// The DPI or the displays changed: the icons again at the size they call for.
void RefreshTrayIconSize();
void RemoveTrayIcon();
// The menu at the pointer; its choice arrives as WM_COMMAND.
void ShowTrayMenu();
// A balloon from the icon; without an agent (a command run alone) a message box. Traced either
// way.
void TellUser(const char* title, const char* text);

}  // namespace corners

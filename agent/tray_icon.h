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
};

void ShowTrayIcon();
void RemoveTrayIcon();
// The menu at the pointer; its choice arrives as WM_COMMAND.
void ShowTrayMenu();
// A balloon from the icon; without an agent (a command run alone) a message box. Traced either
// way.
void TellUser(const char* title, const char* text);

}  // namespace corners

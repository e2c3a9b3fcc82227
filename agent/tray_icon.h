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
};

void ShowTrayIcon();
void RemoveTrayIcon();
// The menu at the pointer; its choice arrives as WM_COMMAND.
void ShowTrayMenu();

}  // namespace corners

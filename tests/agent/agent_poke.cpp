// For the end-to-end tests: opens the running agent's icon menu as a click on its icon would (the
// virtual display has no notification area to click in). Exit code 1 when no agent runs.
// With "shell-restart", does to the agent what a restarted shell does: the notification area
// forgets its icon (exit code 2 when it had none), then every window is told that the area is new.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "agent_names.h"

int main(int argc, char** argv) {
  HWND agent = FindWindowA(corners::agentClass, nullptr);
  if (!agent) return 1;
  if (argc > 1 && std::strcmp(argv[1], "shell-restart") == 0) {
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    icon.hWnd = agent;
    icon.uID = 1;
    if (!Shell_NotifyIconA(NIM_DELETE, &icon)) return 2;
    UINT created = RegisterWindowMessageA("TaskbarCreated");
    return created && SendNotifyMessageA(HWND_BROADCAST, created, 0, 0) ? 0 : 1;
  }
  return PostMessageA(agent, corners::trayMessage, 1, WM_RBUTTONUP) ? 0 : 1;
}

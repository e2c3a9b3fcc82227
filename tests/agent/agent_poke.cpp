// For the end-to-end tests: opens the running agent's icon menu as a click on its icon would (the
// virtual display has no notification area to click in). Exit code 1 when no agent runs.
#include <windows.h>

#include "agent_names.h"

int main() {
  HWND agent = FindWindowA(corners::agentClass, nullptr);
  if (!agent) return 1;
  return PostMessageA(agent, corners::trayMessage, 1, WM_RBUTTONUP) ? 0 : 1;
}

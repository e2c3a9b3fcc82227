// ScrHots.dll: how the framework's General page and monitor control find the hot-corner agent
// running in this session, and tell it that the corner settings changed.
#include <windows.h>

#include "agent_names.h"

namespace corners {

namespace {

HWND RunningAgent() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, agentMutex);
  if (!mutex) return nullptr;
  CloseHandle(mutex);
  return FindWindowA(agentClass, nullptr);
}

}  // namespace

}  // namespace corners

extern "C" {

// Nonzero exactly while the agent runs in this session.
int WINAPI System_Agent_Detect() {
  return corners::RunningAgent() ? 1 : 0;
}

// The agent reads the corner settings again at once.
void WINAPI Screen_Saver_Changed() {
  HWND agent = corners::RunningAgent();
  if (agent) PostMessageA(agent, corners::rereadMessage, 0, 0);
}
}

#include "single_instance.h"

#include <windows.h>

#include "agent_names.h"
#include "agent_state.h"
#include "trace.h"

namespace corners {

namespace {

// Generous: under load a starting agent may take seconds to make its window and first answer.
enum { WindowWaitMs = 10000, WindowPollMs = 50, SendTimeoutMs = 10000 };

}  // namespace

bool ClaimInstance() {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, agentMutex);
  if (!mutex) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  agentRun.mutex = mutex;
  return true;
}

bool HandOver(const char* switches) {
  HWND agent = FindWindowA(agentClass, nullptr);
  // An agent that has just started may not have made its window yet.
  for (DWORD waited = 0; !agent && waited < WindowWaitMs; waited += WindowPollMs) {
    Sleep(WindowPollMs);
    agent = FindWindowA(agentClass, nullptr);
  }
  if (!agent) return false;
  char text[commandCapacity];
  lstrcpynA(text, switches, sizeof text);
  COPYDATASTRUCT data = {commandTag, static_cast<DWORD>(lstrlenA(text) + 1), text};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(agent, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                           SendTimeoutMs, &answer) ||
      !answer) {
    Trace("the running agent did not take the command");
    return false;
  }
  Trace("command handed to the running agent: %s", text);
  return true;
}

void ReleaseInstance() {
  if (agentRun.mutex) CloseHandle(agentRun.mutex);
  agentRun.mutex = nullptr;
}

}  // namespace corners

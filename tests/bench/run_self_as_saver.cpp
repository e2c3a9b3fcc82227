#include "run_self_as_saver.h"

#include <cstdio>

int RunSelfAsSaver(const char* argument, DWORD waitMs) {
  char self[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, self, sizeof self)) return 1;
  char command[MAX_PATH + 64];
  std::snprintf(command, sizeof command, "\"%s\" /s %s", self, argument);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process))
    return 1;
  WaitForSingleObject(process.hProcess, waitMs);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 2 ? 0 : 1;
}

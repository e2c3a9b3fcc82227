#include "trace.h"

#include <windows.h>

#include <cstdarg>

#include "agent_state.h"

namespace corners {

namespace {

void AppendToTestLog(const char* line, int length) {
  if (!agentRun.testLog[0]) return;
  // Appending writes land whole at the end, whichever process of the test writes.
  HANDLE file = CreateFileA(agentRun.testLog, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

void Trace(const char* format, ...) {
  // wvsprintf writes at most 1024 characters: the buffer holds them, the prefix and the newline.
  char line[1100] = "Morvane corners: ";
  int prefix = lstrlenA(line);
  va_list args;
  va_start(args, format);
  int length = wvsprintfA(line + prefix, format, args);
  va_end(args);
  if (length < 0) return;
  length += prefix;
  line[length++] = '\n';
  line[length] = 0;
  OutputDebugStringA(line);
  AppendToTestLog(line, length);
}

void OpenTestLog() {
  DWORD length =
      GetEnvironmentVariableA("MORVANE_TEST_LOG", agentRun.testLog, sizeof agentRun.testLog);
  if (length == 0 || length >= sizeof agentRun.testLog) agentRun.testLog[0] = 0;
}

}  // namespace corners

#include "saver_start.h"

#include <windows.h>

#include "agent_state.h"
#include "saver_path.h"
#include "trace.h"

namespace corners {

namespace {

const char desktopKey[] = "Control Panel\\Desktop";
const char saverValue[] = "SCRNSAVE.EXE";

// The configured saver's full path into path (MAX_PATH bytes); false, with a trace, when there is
// none the agent may start.
bool ConfiguredSaver(char* path) {
  char stored[MAX_PATH] = {};
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, desktopKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    Trace("no screen saver configured");
    return false;
  }
  DWORD size = sizeof stored - 1;
  DWORD type = 0;
  LONG error =
      RegQueryValueExA(key, saverValue, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
  RegCloseKey(key);
  if (error != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    Trace(error == ERROR_MORE_DATA ? "configured saver skipped: path too long"
                                   : "no screen saver configured");
    return false;
  }
  stored[sizeof stored - 1] = 0;
  if (type == REG_EXPAND_SZ) {
    DWORD length = ExpandEnvironmentStringsA(stored, path, MAX_PATH);
    if (length == 0 || length > MAX_PATH) {
      Trace("configured saver skipped: path too long");
      return false;
    }
  } else {
    lstrcpynA(path, stored, MAX_PATH);
  }
  SaverPathVerdict verdict = JudgeSaverPath(path, MAX_PATH);
  if (verdict != SaverPathVerdict::Usable) {
    if (verdict == SaverPathVerdict::Empty) {
      Trace("no screen saver configured");
    } else {
      Trace("configured saver skipped (%s): %s", VerdictText(verdict), path);
    }
    return false;
  }
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Trace("configured saver skipped (no such file): %s", path);
    return false;
  }
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Trace("configured saver skipped (no access, error %lu): %s", GetLastError(), path);
    return false;
  }
  CloseHandle(file);
  return true;
}

// Starts path with the switch; the process handle, or null.
HANDLE StartSaverProcess(const char* path, const char* mode) {
  char commandLine[MAX_PATH + 16];
  wsprintfA(commandLine, "\"%s\" %s", path, mode);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // The path is the application name: nothing is looked up along a search path.
  if (!CreateProcessA(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    Trace("saver did not start (error %lu): %s %s", GetLastError(), path, mode);
    return nullptr;
  }
  CloseHandle(process.hThread);
  Trace("saver started: %s %s", path, mode);
  return process.hProcess;
}

}  // namespace

void ForgetSaver() {
  if (agentRun.saverProcess) CloseHandle(agentRun.saverProcess);
  agentRun.saverProcess = nullptr;
}

bool SaverRunning() {
  if (agentRun.saverProcess && WaitForSingleObject(agentRun.saverProcess, 0) == WAIT_TIMEOUT) {
    return true;
  }
  ForgetSaver();
  BOOL running = FALSE;
  return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
}

void StartConfiguredSaver() {
  if (SaverRunning()) {
    Trace("a screen saver runs already");
    return;
  }
  char path[MAX_PATH];
  if (!ConfiguredSaver(path)) return;
  agentRun.saverProcess = StartSaverProcess(path, "/s");
}

void ShowSaverSettings() {
  char path[MAX_PATH];
  if (!ConfiguredSaver(path)) return;
  HANDLE process = StartSaverProcess(path, "/c");
  if (process) CloseHandle(process);
}

}  // namespace corners

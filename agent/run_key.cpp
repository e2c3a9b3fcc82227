#include "run_key.h"

#include <windows.h>

#include "agent_names.h"
#include "trace.h"

namespace corners {

namespace {

const char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

bool InstallRunEntry() {
  char program[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) {
    Trace("install: own path unknown");
    return false;
  }
  char command[MAX_PATH + 16];
  wsprintfA(command, "\"%s\" /start", program);
  HKEY key;
  LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, runKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                               &key, nullptr);
  if (error == ERROR_SUCCESS) {
    error = RegSetValueExA(key, agentTitle, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                           static_cast<DWORD>(lstrlenA(command) + 1));
    RegCloseKey(key);
  }
  Trace(error == ERROR_SUCCESS ? "installed: %s" : "install failed: %s", command);
  return error == ERROR_SUCCESS;
}

bool UninstallRunEntry() {
  HKEY key;
  LONG error = RegOpenKeyExA(HKEY_CURRENT_USER, runKey, 0, KEY_SET_VALUE, &key);
  if (error == ERROR_FILE_NOT_FOUND) return true;
  if (error == ERROR_SUCCESS) {
    error = RegDeleteValueA(key, agentTitle);
    RegCloseKey(key);
  }
  bool done = error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND;
  Trace(done ? "uninstalled" : "uninstall failed (error %ld)", static_cast<long>(error));
  return done;
}

}  // namespace corners

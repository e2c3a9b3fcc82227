#include "corner_mode_setting.h"

#include <windows.h>

#include "agent_state.h"
#include "trace.h"

namespace corners {

namespace {

enum { ModeTextCapacity = 16 };

}  // namespace

void ReadCornerMode() {
  char text[ModeTextCapacity] = {};
  HKEY key;
  morvane::CornerMode mode = morvane::CornerMode::Desktop;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, morvane::hotCornersKey, 0, KEY_QUERY_VALUE, &key) ==
      ERROR_SUCCESS) {
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    LONG error = RegQueryValueExA(key, morvane::cornerModeValue, nullptr, &type,
                                  reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    // The value need not end with a zero: only the bytes it holds are read.
    if (error == ERROR_SUCCESS && type == REG_SZ) mode = morvane::CornerModeFromText(text, size);
  }
  agentRun.cornerMode = mode;
  Trace("corner mode: %s", morvane::CornerModeText(mode));
}

bool WriteCornerMode(morvane::CornerMode mode) {
  const char* text = morvane::CornerModeText(mode);
  HKEY key;
  LONG error = RegCreateKeyExA(HKEY_CURRENT_USER, morvane::hotCornersKey, 0, nullptr, 0,
                               KEY_SET_VALUE, nullptr, &key, nullptr);
  if (error == ERROR_SUCCESS) {
    error =
        RegSetValueExA(key, morvane::cornerModeValue, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(lstrlenA(text) + 1));
    RegCloseKey(key);
  }
  if (error != ERROR_SUCCESS) Trace("corner mode not stored (error %ld)", static_cast<long>(error));
  return error == ERROR_SUCCESS;
}

}  // namespace corners

#include "corner_mode_setting.h"

#include <windows.h>

#include "agent_state.h"
#include "displays/corner_mode_store.h"
#include "trace.h"

namespace corners {

void ReadCornerMode() {
  agentRun.cornerMode = morvane::StoredCornerMode();
  Trace("corner mode: %s", morvane::CornerModeText(agentRun.cornerMode));
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

#include "displays/corner_mode_store.h"

#include <windows.h>

namespace morvane {

CornerMode StoredCornerMode() {
  enum { ModeTextCapacity = 16 };
  CornerMode mode = CornerMode::Desktop;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, hotCornersKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return mode;
  }
  char text[ModeTextCapacity] = {};
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  // The value need not end with a zero: only the bytes it holds are read.
  if (RegQueryValueExA(key, cornerModeValue, nullptr, &type, reinterpret_cast<BYTE*>(text),
                       &size) == ERROR_SUCCESS &&
      type == REG_SZ) {
    mode = CornerModeFromText(text, size);
  }
  RegCloseKey(key);
  return mode;
}

}  // namespace morvane

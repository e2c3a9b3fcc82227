#include "settings/registry_number.h"

#include "settings/settings_codec.h"

namespace morvane {

namespace {

// A 32-bit number written as text spells it in at most 15 characters.
enum { NumberTextCapacity = 16 };

}  // namespace

bool QueryRegistryNumber(HKEY key, const char* name, uint32_t* number) {
  char data[NumberTextCapacity] = {};
  DWORD type = REG_NONE;
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (type == REG_SZ || type == REG_EXPAND_SZ) return DecodeSettingText(data, size, number);
  if (size > 4) return false;
  *number = DecodeSettingBytes(reinterpret_cast<const unsigned char*>(data), size);
  return true;
}

}  // namespace morvane

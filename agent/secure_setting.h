#pragma once
// Whether the user's saver is to show the logon screen on resume: the user's
// "ScreenSaverIsSecure", unless the policy's copy of it is set, which then decides. Pure.
#include <cstddef>
#include <cstdint>

namespace corners {

// A stored value as read: a text (REG_SZ, at most size bytes, not necessarily ending with a zero)
// or a number (REG_DWORD).
struct StoredSwitch {
  bool present;
  bool isNumber;
  uint32_t number;
  const char* text;
  size_t size;
};

// The system reads the text as a decimal number: leading blanks, an optional sign, digits; a
// nonzero number is on, anything else off.
bool SwitchOn(const StoredSwitch& value);

bool SecureSettingOn(const StoredSwitch& policy, const StoredSwitch& user);

}  // namespace corners

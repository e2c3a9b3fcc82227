#pragma once
// What the system honours before it runs a screen saver, decided one way for the framework and the
// hot-corner agent: whether screen savers run at all ("ScreenSaveActive"), which one
// ("SCRNSAVE.EXE") and whether it shows the logon screen on resume ("ScreenSaverIsSecure"). Each
// value of the policy's key wins over the user's when the policy's is there: the system then
// ignores the user's. Pure; saver_policy_store.h reads the registry. Any thread.
#include <cstddef>
#include <cstdint>

namespace morvane {

// How a value was found: text (REG_SZ), text with variables (REG_EXPAND_SZ), text too long for
// the reader's buffer, a number (REG_DWORD), or any other kind.
enum class StoredKind : uint8_t { Missing, Text, ExpandText, TooLong, Number, Other };

// A value as read: for texts, at most size bytes, not necessarily ending with a zero.
struct StoredValue {
  StoredKind kind;
  uint32_t number;
  const char* text;
  size_t size;
};

// A switch as the system reads it: a number, or a text read as a decimal number (leading blanks,
// an optional sign, digits); nonzero is on, anything else off.
bool SwitchOn(const StoredValue& value);

// The policy's value and the user's of one name.
struct StoredPair {
  StoredValue policy;
  StoredValue user;
};

struct SaverPolicyValues {
  StoredPair active;
  StoredPair saver;
  StoredPair secure;
};

struct SaverPolicy {
  // Screen savers may run. With neither value stored they may: the system's own default.
  bool saversActive;
  // The logon screen on resume; off when neither value is stored.
  bool secure;
  // The value that names the saver, the policy's when present (whatever it holds).
  StoredValue saver;
  bool saverFromPolicy;
};

SaverPolicy DecideSaverPolicy(const SaverPolicyValues& values);

}  // namespace morvane

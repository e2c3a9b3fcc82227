#pragma once
// Reading numbers from texts the way the C runtime's "%i" conversion reads them.
#include <cstdint>

namespace morvane {

// Reads one integer from text: leading white space, an optional sign, then "0x"/"0X" and
// hexadecimal digits, a leading "0" and octal digits, or decimal digits. Numbers beyond the
// 32-bit range saturate at INT32_MIN or INT32_MAX. On success stores the number, sets *end (when
// given) just after it and returns true; returns false, storing nothing, when no digit follows.
// NOTE: one function of ours rather than sscanf: glibc wraps out-of-range numbers and msvcrt
// saturates them, and the native tests must check what ships.
bool ReadScanfInteger(const char* text, const char** end, int32_t* value);

}  // namespace morvane

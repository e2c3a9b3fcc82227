#pragma once
// Reading a 32-bit number from a registry value, whatever form it was stored in.
#include <windows.h>

#include <cstdint>

namespace morvane {

// Binary data of at most 4 bytes is read little-endian with missing bytes 0; longer data is not
// read; text (REG_SZ, REG_EXPAND_SZ) is read as the number it spells ("%i" rules). False when the
// value is missing or unreadable.
bool QueryRegistryNumber(HKEY key, const char* name, uint32_t* number);

}  // namespace morvane

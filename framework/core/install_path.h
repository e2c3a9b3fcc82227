#pragma once
// The installation rule of the library build: it must be "morvane.dll" in the Windows directory.
#include <cstddef>

namespace morvane {

// Compares the module's file name with windowsDirectory + "\morvane.dll", ignoring the drive
// (the first two characters of each) and ASCII letter case. Writes the expected path, drive
// replaced by two spaces and in lower case, into expected (cut to capacity). True when they match.
bool IsInstalledLocation(const char* moduleFileName, const char* windowsDirectory, char* expected,
                         size_t capacity);

}  // namespace morvane

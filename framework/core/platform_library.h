#pragma once
// The system libraries the framework calls into (the password provider and router).
#include <windows.h>

namespace morvane {

// Loads the library of that file name from the application's own folder or, failing that, the
// system folder; never from the current folder or PATH, so that a planted file cannot run inside
// the saver. Null when it is in neither (or the name is not a bare file name).
HMODULE LoadPlatformLibrary(const char* fileName);

}  // namespace morvane

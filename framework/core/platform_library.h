#pragma once
// The system components the framework calls into (the password provider and router, the
// companion program), and the folders they are taken from.
#include <windows.h>

namespace morvane {

// Loads the library of that file name from the application's own folder or, failing that, the
// system folder; never from the current folder or PATH, so that a planted file cannot run inside
// the saver. Null when it is in neither (or the name is not a bare file name).
HMODULE LoadPlatformLibrary(const char* fileName);

// The two folders platform components are taken from, each with its trailing backslash: the
// running program's and the system folder. False when the folder cannot be had whole.
bool ApplicationFolder(char* folder, size_t capacity);
bool SystemFolder(char* folder, size_t capacity);

}  // namespace morvane

#pragma once
// The saver benchmarks measure a full-screen run in a process of its own, started as the system
// starts a saver.
#include <windows.h>

// Runs this program again with "/s" and the argument, and waits up to waitMs for it: 0 when the
// run ended as a saver run ends (exit code 2), else 1.
int RunSelfAsSaver(const char* argument, DWORD waitMs);

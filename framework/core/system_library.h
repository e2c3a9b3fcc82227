#pragma once
// Functions of system libraries that only some runs need, looked up on first use. A full-screen
// run then loads none of them before its first frame: under Wine winmm alone brings msacm32, ole32
// and rpcrt4 with it, and comctl32 sets up visual styles as it loads. Any thread.
#include <windows.h>

namespace morvane {

// The function of that system library (loaded now if it is not yet), or null when either is
// missing. NOTE: LoadLibraryA by bare name, so that the program's manifest still chooses the
// common controls' version; every name passed is a library of the system's own folder.
template <typename Function>
Function SystemFunction(const char* module, const char* name) {
  HMODULE loaded = GetModuleHandleA(module);
  if (!loaded) loaded = LoadLibraryA(module);
  return loaded ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)))
                : nullptr;
}

}  // namespace morvane

// Stand-ins for a saver that keeps the display on, which keeps_no_display_awake.py must catch (they
// are built, never run): display_keeper.exe imports SetThreadExecutionState, and
// display_keeper_by_name.exe (KEEPER_BY_NAME) looks PowerSetRequest up by name at run time.
#include <windows.h>

int main() {
#ifdef KEEPER_BY_NAME
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel && GetProcAddress(kernel, "PowerSetRequest") ? 0 : 1;
#else
  return SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED) ? 0 : 1;
#endif
}

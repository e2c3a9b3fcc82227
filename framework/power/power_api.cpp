#include "core/library.h"
#include "core/trace.h"
#include "morvane.h"
#include "power/power_state.h"
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" BOOL WINAPI ScrSetBatteryPeriod(int minimumMs) {
  EnsureLibrary();
  if (minimumMs < 0 || minimumMs > LongestBatteryPeriodMs) {
    Trace("ScrSetBatteryPeriod: no such period; keeping the current one");
    return FALSE;
  }
  if (libraryState.saverRunning) {
    Trace("ScrSetBatteryPeriod: refused while a saver runs");
    return FALSE;
  }
  powerState.batteryPeriodMs = minimumMs;
  return TRUE;
}

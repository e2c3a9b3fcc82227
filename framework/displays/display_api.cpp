#include "core/library.h"
#include "core/trace.h"
#include "displays/display_run.h"
#include "morvane.h"
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" BOOL WINAPI ScrSetMonitorPolicy(int policy) {
  EnsureLibrary();
  if (!IsLayoutPolicy(policy)) {
    Trace("ScrSetMonitorPolicy: no such policy; keeping the current one");
    return FALSE;
  }
  if (libraryState.saverRunning) {
    Trace("ScrSetMonitorPolicy: refused while a saver runs");
    return FALSE;
  }
  displayRun.policy = policy;
  return TRUE;
}

extern "C" int WINAPI ScrGetWindowMonitor(HWND window, RECT* area) {
  EnsureLibrary();
  const RunWindow* entry = window ? FindRunSaverWindow(window) : nullptr;
  if (!entry) return -1;
  if (area) {
    const ScreenBox& box = entry->place.area;
    *area = {box.left, box.top, box.right, box.bottom};
  }
  return entry->place.number;
}

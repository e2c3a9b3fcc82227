#include "core/library.h"

#include "monitor/corner_resources.h"
#include "monitor/monitor_classes.h"
#include "settings/prefs.h"
#include "core/trace.h"

namespace morvane {

LibraryState libraryState;

void EnsureLibrary() {
  // A linked library that a finished run closed is initialised again for the next run.
  if (libraryState.initialised || libraryState.loadedAsLibrary) return;
  if (!libraryState.module) libraryState.module = GetModuleHandleA(nullptr);
  InitLibrary();
}

int InitLibrary() {
  libraryState.initialised = true;
  if (!PassesInstallationCheck()) return 0;
  libraryState.systemAgentPresent = 0;
  libraryState.agentWarningShown = 0;
  SetDefaultPrefs();
  CreateCornerResources();
  return RegisterMonitorClasses();
}

int CloseLibrary() {
  Trace("Morvane: closing process...");
  if (!libraryState.initialised) {
    Trace("nothing to close!");
    return 1;
  }
  ReleaseCornerResources();
  libraryState.initialised = false;
  return UnregisterMonitorClasses();
}

int LoadFrameworkString(UINT id, char* buffer, int capacity) {
  if (capacity <= 0) return 0;
  buffer[0] = 0;
  return LoadStringA(libraryState.module, id, buffer, capacity);
}

}  // namespace morvane

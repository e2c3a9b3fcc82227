#include "core/library.h"

#include "monitor/corner_resources.h"
#include "monitor/monitor_classes.h"
#include "settings/prefs.h"
#include "core/trace.h"

namespace morvane {

HINSTANCE frameworkModule;
bool loadedAsLibrary;
bool libraryInitialised;
bool saverRunning;
int systemAgentPresent;
int agentWarningShown;

void EnsureLibrary() {
  // A linked library that a finished run closed is initialised again for the next run.
  if (libraryInitialised || loadedAsLibrary) return;
  if (!frameworkModule) frameworkModule = GetModuleHandleA(nullptr);
  InitLibrary();
}

int InitLibrary() {
  libraryInitialised = true;
  if (!PassesInstallationCheck()) return 0;
  systemAgentPresent = 0;
  agentWarningShown = 0;
  SetDefaultPrefs();
  CreateCornerResources();
  return RegisterMonitorClasses();
}

int CloseLibrary() {
  Trace("Morvane: closing process...");
  if (!libraryInitialised) {
    Trace("nothing to close!");
    return 1;
  }
  ReleaseCornerResources();
  libraryInitialised = false;
  return UnregisterMonitorClasses();
}

int LoadFrameworkString(UINT id, char* buffer, int capacity) {
  if (capacity <= 0) return 0;
  buffer[0] = 0;
  return LoadStringA(frameworkModule, id, buffer, capacity);
}

}  // namespace morvane

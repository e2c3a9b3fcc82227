#include "core/library.h"

#include "monitor/corner_resources.h"
#include "monitor/monitor_classes.h"
#include "settings/prefs.h"
#include "core/string_table.h"
#include "core/trace.h"
#include "resources/resource_language.h"

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
  // The corner pictures and menus wait for their first use; the classes stay registered here,
  // since a saver's own dialog may name them.
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

// The framework's strings carry a language of their own, so that a saver linked with it may use
// the same ids (see resources/resource_language.h); named here, a saver's block never hides them.
int LoadFrameworkString(UINT id, char* buffer, int capacity) {
  return LoadStringOfLanguage(libraryState.module, id,
                              MAKELANGID(MORVANE_STRINGS_LANGUAGE, MORVANE_STRINGS_SUBLANGUAGE),
                              buffer, capacity);
}

}  // namespace morvane

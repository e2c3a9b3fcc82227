#pragma once
// The library's process-wide state and its one-time set-up and teardown. Everything here belongs
// to the thread that runs the saver.
#include <windows.h>

namespace morvane {

// The library's state in this process. The module is where the framework loads its own
// resources from: the DLL, or the executable it is linked into.
struct LibraryState {
  HINSTANCE module = nullptr;
  bool loadedAsLibrary = false;  // morvane.dll, set up by DllMain
  bool initialised = false;
  bool saverRunning = false;  // a saver-main run is in progress
  // Last System Agent detection of the General page, and whether the monitor control warned
  // already.
  int systemAgentPresent = 0;
  int agentWarningShown = 0;
};

extern LibraryState libraryState;

// Every public entry point calls this first: initialises the linked library on first use and
// again after a run closed it.
void EnsureLibrary();
// 1 on success, 0 on failure (wrong installation of the DLL, monitor classes not registered).
int InitLibrary();
// Releases what InitLibrary made; the result of unregistering the monitor classes.
int CloseLibrary();

// Text sizes of the framework: names and short texts, and messages (terminating zero included).
enum { NameCapacity = 100, MessageCapacity = 200 };

// Loads a string of the framework's module into buffer; the length, 0 when it is missing.
int LoadFrameworkString(UINT id, char* buffer, int capacity);

// The installation check of InitLibrary: false (after telling the user) when the DLL is not
// morvane.dll in the Windows directory. The linked library always passes.
bool PassesInstallationCheck();

}  // namespace morvane

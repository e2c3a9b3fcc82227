// Writes the trace lines of the scenario named by its argument ("off", "on" or "long") for
// framework_trace_test to read from the debugger channel.
#include "core/library.h"
#include "morvane.h"
#include "core/trace.h"

#include <string>

using namespace morvane;

DWORD WINAPI TraceFromAnotherThread(void*) {
  Trace("from a second thread");
  return 0;
}

int main(int argc, char** argv) {
  std::string scenario = argc > 1 ? argv[1] : "";
  ScrPrefs* prefs = ScrGetPrefs();
  prefs->debugTrace = scenario != "off";
  ScrSetPrefs(prefs);
  if (scenario == "long") {
    Trace(std::string(300, 'a').c_str());
    TraceTagged(std::string(150, 't').c_str(), std::string(100, 'b').c_str());
    return 0;
  }
  Trace("Morvane: a plain line");
  TraceTagged("full DefSaverProc", "WM_CREATE...");
  HANDLE thread = CreateThread(nullptr, 0, TraceFromAnotherThread, nullptr, 0, nullptr);
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  CloseLibrary();
  // With debugTrace off a debug box is not shown and answers 0.
  return scenario == "off" ? DebugMessageBox(nullptr, "not shown", "not shown") : 0;
}

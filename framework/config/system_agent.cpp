#include "config/general_page.h"

#include "core/library.h"
#include "core/platform_library.h"
#include "core/resource_ids.h"
#include "core/trace.h"

namespace morvane {

namespace {

// Both entry points take no arguments, so the calling convention does not matter to the caller.
typedef int(WINAPI* AgentDetectProc)();
typedef void(WINAPI* AgentChangedProc)();

// The second library's names are not in the string table.
const char hotCornerLibrary[] = "ScrHots.dll";
const char hotCornerDetectProc[] = "System_Agent_Detect";
const char hotCornerChangedProc[] = "Screen_Saver_Changed";

// Calls the named entry point of the named library, loaded just for the call: the detection when
// answer is given (its result stored there), the change notice otherwise. False when either the
// library or the entry point is missing. The library comes only from the program's or the system's
// folder: a file of that name planted in the current folder or on PATH would run in the saver.
bool CallAgentEntry(const char* libraryName, const char* procName, int* answer) {
  HMODULE library = LoadPlatformLibrary(libraryName);
  if (!library) return false;
  FARPROC proc = GetProcAddress(library, procName);
  void* entry = reinterpret_cast<void*>(proc);
  if (entry && answer) *answer = reinterpret_cast<AgentDetectProc>(entry)();
  if (entry && !answer) reinterpret_cast<AgentChangedProc>(entry)();
  FreeLibrary(library);
  return proc != nullptr;
}

void CallAgentEntryByStrings(UINT libraryId, UINT procId, int* answer) {
  char libraryName[NameCapacity];
  char procName[NameCapacity];
  if (!LoadFrameworkString(libraryId, libraryName, sizeof libraryName) ||
      !LoadFrameworkString(procId, procName, sizeof procName)) {
    return;
  }
  CallAgentEntry(libraryName, procName, answer);
}

}  // namespace

int DetectSystemAgent() {
  int answer = 0;
  CallAgentEntryByStrings(IDS_AGENT_LIBRARY, IDS_AGENT_DETECT_PROC, &answer);
  // The hot-corner library has the last word when it is there.
  CallAgentEntry(hotCornerLibrary, hotCornerDetectProc, &answer);
  return answer;
}

void NotifySystemAgent() {
  Trace("Morvane: GeneralDialog: Sage being notified of corners");
  CallAgentEntryByStrings(IDS_AGENT_LIBRARY, IDS_AGENT_CHANGED_PROC, nullptr);
  CallAgentEntry(hotCornerLibrary, hotCornerChangedProc, nullptr);
}

}  // namespace morvane

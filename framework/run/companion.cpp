// The companion preview program: a separate program whose window (class: its name in lower case)
// hosts previews for the preview switch that names it.
#include "core/library.h"
#include "core/resource_ids.h"
#include "run/saver_run.h"

namespace morvane {

namespace {

enum { StartUpLimitMs = 2000 };

void LowerAscii(char* text) {
  for (; *text; ++text) {
    if (*text >= 'A' && *text <= 'Z') *text = char(*text - 'A' + 'a');
  }
}

// Shown whatever debugTrace says: the user asked for the companion and must learn why it failed.
void ShowCompanionMessage(UINT id, const char* caption) {
  char text[MessageCapacity];
  if (LoadFrameworkString(id, text, sizeof text)) MessageBoxA(nullptr, text, caption, MB_OK);
}

// Starts the program and waits until it is ready for input; 0 then, else the message to show.
UINT StartCompanion(const char* programName) {
  char commandLine[NameCapacity];
  lstrcpynA(commandLine, programName, sizeof commandLine);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // NOTE: no application name: given one, CreateProcessA adds no ".exe" and searches no folder,
  // so the program would never start; as the command line it is looked for as usual.
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                      CREATE_NEW_PROCESS_GROUP | CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr,
                      &startup, &process)) {
    return IDS_COMPANION_START_FAILED;
  }
  DWORD waited = WaitForInputIdle(process.hProcess, StartUpLimitMs);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (waited == WAIT_TIMEOUT) return IDS_COMPANION_NO_ANSWER;
  if (waited == WAIT_FAILED) return IDS_COMPANION_INIT_FAILED;
  return 0;
}

}  // namespace

HWND FindCompanionWindow(const char* switchText) {
  char name[NameCapacity];
  if (!LoadFrameworkString(IDS_COMPANION_NAME, name, sizeof name)) return nullptr;
  if (!NamesCompanion(switchText, name)) return nullptr;
  char className[NameCapacity];
  lstrcpynA(className, name, sizeof className);
  LowerAscii(className);
  HWND companion = FindWindowA(className, nullptr);
  if (!companion) {
    if (UINT failure = StartCompanion(className)) {
      ShowCompanionMessage(failure, name);
      return nullptr;
    }
    companion = FindWindowA(className, nullptr);
    if (companion) SetForegroundWindow(companion);
  }
  if (!companion) {
    ShowCompanionMessage(IDS_COMPANION_NOT_FOUND, name);
    return nullptr;
  }
  HWND child = GetWindow(companion, GW_CHILD);
  if (!child) ShowCompanionMessage(IDS_COMPANION_NO_CHILD, name);
  return child;
}

}  // namespace morvane

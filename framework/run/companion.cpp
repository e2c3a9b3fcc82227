// The companion preview program: a separate program whose window (class: its name in lower case)
// hosts previews for the preview switch that names it. It is started only from the running
// program's folder or the system folder, as the platform libraries are loaded.
#include "core/bounded_text.h"
#include "core/library.h"
#include "core/platform_library.h"
#include "core/resource_ids.h"
#include "run/saver_run.h"

#include <cstring>

namespace morvane {

namespace {

enum { StartUpLimitMs = 2000, PathCapacity = MAX_PATH + 1 };

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

// The program file in that folder, when it is there and its whole path fits.
bool ProgramFileIn(const char* folder, const char* fileName, char* path, size_t capacity) {
  CopyText(path, capacity, folder, capacity);
  if (AppendText(path, capacity, fileName) != std::strlen(folder) + std::strlen(fileName)) {
    return false;  // never start a cut name
  }
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The companion's program file: beside the running program or in the system folder, never from
// the current folder or PATH, so that a planted program cannot pass for it.
bool FindCompanionProgram(const char* programName, char* path, size_t capacity) {
  if (!*programName || std::strpbrk(programName, "\\/:")) return false;
  char fileName[NameCapacity];
  CopyText(fileName, sizeof fileName, programName, sizeof fileName);
  if (AppendText(fileName, sizeof fileName, ".exe") != std::strlen(programName) + 4) return false;
  char folder[PathCapacity];
  if (ApplicationFolder(folder, sizeof folder) && ProgramFileIn(folder, fileName, path, capacity)) {
    return true;
  }
  return SystemFolder(folder, sizeof folder) && ProgramFileIn(folder, fileName, path, capacity);
}

// Starts the program and waits until it is ready for input; 0 then, else the message to show.
UINT StartCompanion(const char* programName) {
  char path[PathCapacity];
  if (!FindCompanionProgram(programName, path, sizeof path)) return IDS_COMPANION_START_FAILED;
  // The command line starts with the program's own name, quoted, as the program expects.
  char commandLine[PathCapacity + 2] = "\"";
  AppendText(commandLine, sizeof commandLine, path);
  AppendText(commandLine, sizeof commandLine, "\"");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // NOTE: given an application name, CreateProcessA adds no ".exe" and searches no folder: the
  // whole file name is made above.
  if (!CreateProcessA(path, commandLine, nullptr, nullptr, FALSE,
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

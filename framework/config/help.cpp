#include "config/help.h"

#include "core/library.h"
#include "core/resource_ids.h"
#include "run/saver_run.h"
#include "core/trace.h"

namespace morvane {

namespace {

// The help id that is only ever looked up in the framework's (or the saver's) own help file.
const DWORD activeConfigHelpId = 3106;

// The help file a saver may name in its own module, else the framework's.
bool LoadOwnHelpFileName(char* file, int capacity) {
  if (saverRun.instance && LoadStringA(saverRun.instance, IDS_HELP_FILE, file, capacity) > 0)
    return true;
  return LoadFrameworkString(IDS_HELP_FILE, file, capacity) > 0;
}

// The system's file search: the current, system and path folders, as WinHelp searches them.
bool HelpFileExists(const char* file) {
  OFSTRUCT found = {};
  found.cBytes = sizeof found;
  return OpenFile(file, &found, OF_EXIST) != HFILE_ERROR;
}

}  // namespace

// clang-format off
const DWORD HelpIdTable[] = {
    IDC_DISMISS_GROUP, 3101, IDC_SENSITIVITY_LABEL, 3101, IDC_SENSITIVITY, 3101,
    IDC_WAIT_LABEL, 3102,    IDC_DELAY, 3102,             IDC_DELAY_SPIN, 3102,
    IDC_DELAY_UNIT, 3102,    IDC_DELAY_TAIL, 3102,        IDC_CORNERS_TEXT, 3100,
    IDC_AGENT_TEXT, 3100,    IDC_CORNERS, 3100,           IDC_MUTE, 3105,
    IDC_ACTIVE_CONFIG, activeConfigHelpId,
    0, 0,
};
// clang-format on

HelpCallProc helpCall = WinHelpA;

bool ChooseHelpFile(bool activeConfigBox, char* file, int capacity) {
  bool named = LoadOwnHelpFileName(file, capacity);
  // Active configuration is the framework's own feature: only its file describes it.
  if (activeConfigBox) return named;
  if (named && HelpFileExists(file)) return true;
  return LoadFrameworkString(IDS_PLUS_HELP_FILE, file, capacity) > 0;
}

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" BOOL WINAPI ScrHelp(HWND control, UINT command, DWORD helpId) {
  EnsureLibrary();
  Trace("Morvane: calling ScrHelp");
  DWORD table[] = {static_cast<DWORD>(GetDlgCtrlID(control)), helpId, 0, 0};
  char file[NameCapacity];
  if (!ChooseHelpFile(helpId == activeConfigHelpId, file, sizeof file)) return 0;
  return helpCall(control, file, command, reinterpret_cast<ULONG_PTR>(table));
}

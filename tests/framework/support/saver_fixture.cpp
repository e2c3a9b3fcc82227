#include "saver_fixture.h"

#include <fstream>

#include "window/saver_state.h"

using namespace morvane;

std::vector<SeenMessage> seenMessages;
const char screenSaversKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
const char desktopKey[] = "Control Panel\\Desktop";

namespace {

const char saverClass[] = "FixtureSaverClass";

// Records what decides about closing and configuring. The configuration itself is answered here,
// as a saver may: the sheet it would open is tested on its own.
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case SCRM_ACTIVECONFIG: seenMessages.push_back(SeenMessage{message, wParam}); return 1;
    case SCRM_VERIFYPW:
    case SCRM_DIALOGACTIVE:
    case WM_CLOSE: seenMessages.push_back(SeenMessage{message, wParam}); break;
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

void RegisterSaverClassOnce() {
  static bool registered;
  if (registered) return;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = RecordingProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = saverClass;
  registered = RegisterClassExA(&windowClass) != 0;
}

}  // namespace

std::vector<UINT> SeenOnly(UINT message) {
  std::vector<UINT> seen;
  for (const SeenMessage& m : seenMessages) {
    if (m.message == message) seen.push_back(message);
  }
  return seen;
}

HWND CreateSaverWindow(int mode, HWND parent) {
  RegisterSaverClassOnce();
  seenMessages.clear();
  static int foreignRecord[2];
  unsigned serial = 0;
  void* record = mode >= 0 ? static_cast<void*>(NewSaverCreateParams(mode, &serial))
                           : static_cast<void*>(foreignRecord);
  DWORD style = parent ? WS_CHILD : WS_POPUP;
  HWND window = CreateWindowExA(0, saverClass, "fixture", style, 0, 0, 100, 80, parent, nullptr,
                                GetModuleHandleA(nullptr), record);
  DiscardSaverCreateParams(serial);
  return window;
}

HWND CreatePlainWindow(const char* className, HWND parent) {
  return CreateWindowExA(0, className, "plain", parent ? WS_CHILD : WS_POPUP, 0, 0, 120, 90, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

int TakeQuitCode() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return -1;
  return static_cast<int>(message.wParam);
}

bool TakeClosePosted(HWND window) {
  MSG message;
  // NOTE: a pending WM_QUIT is returned whatever the filter says: it must not count as a close.
  return PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE) &&
         message.message == WM_CLOSE;
}

void DestroySaverWindow(HWND window) {
  DestroyWindow(window);
  while (TakeQuitCode() >= 0) {
  }
}

void ChangePrefs(const std::function<void(ScrPrefs&)>& change) {
  ScrPrefs* prefs = ScrGetPrefs();
  change(*prefs);
  ScrSetPrefs(prefs);
}

void ResetPrefs() {
  ChangePrefs([](ScrPrefs& prefs) {
    prefs.allowActiveConfig = prefs.debugMode = prefs.alwaysPassword = prefs.neverPassword = 0;
    prefs.noTimers = 1;  // these tests are about the window; timers have their own
    prefs.activeConfigPassword = 1;
  });
}

void SetRegistryData(const char* key, const char* value, DWORD type, const void* data, DWORD size) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(handle, value, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
}

void SetRegistryNumber(const char* key, const char* value, DWORD number) {
  SetRegistryData(key, value, REG_DWORD, &number, sizeof number);
}

void DeleteRegistryValue(const char* key, const char* value) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, value);
  RegCloseKey(handle);
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

StandInLog::StandInLog() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  path_ = std::string(folder) + "morvane_standin_" + std::to_string(GetCurrentProcessId()) + ".log";
  DeleteFileA(path_.c_str());
  SetEnvironmentVariableA("MORVANE_TEST_LOG", path_.c_str());
}

StandInLog::~StandInLog() {
  SetEnvironmentVariableA("MORVANE_TEST_LOG", nullptr);
  DeleteFileA(path_.c_str());
}

std::vector<std::string> StandInLog::Lines() const {
  std::vector<std::string> lines;
  std::ifstream file(path_);
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> StandInLog::Matching(const std::string& prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : Lines()) {
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  }
  return lines;
}

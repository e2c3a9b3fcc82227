#include "saver_start.h"

#include <new>

#include "agent_names.h"
#include "agent_state.h"
#include "now_request.h"
#include "saver_path.h"
#include "secure_setting.h"
#include "trace.h"
#include "tray_icon.h"

namespace corners {

namespace {

const char desktopKey[] = "Control Panel\\Desktop";
const char desktopPolicyKey[] = "Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
const char saverValue[] = "SCRNSAVE.EXE";
const char secureValue[] = "ScreenSaverIsSecure";

enum : UINT { CheckPeriodMs = 100 };

// The configured saver's full path into path (MAX_PATH bytes); false, with a trace, when there is
// none the agent may start. May block for long on a network path: called off the window thread.
bool ConfiguredSaver(char* path) {
  char stored[MAX_PATH] = {};
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, desktopKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    Trace("no screen saver configured");
    return false;
  }
  DWORD size = sizeof stored - 1;
  DWORD type = 0;
  LONG error =
      RegQueryValueExA(key, saverValue, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size);
  RegCloseKey(key);
  if (error != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    Trace(error == ERROR_MORE_DATA ? "configured saver skipped: path too long"
                                   : "no screen saver configured");
    return false;
  }
  stored[sizeof stored - 1] = 0;
  if (type == REG_EXPAND_SZ) {
    DWORD length = ExpandEnvironmentStringsA(stored, path, MAX_PATH);
    if (length == 0 || length > MAX_PATH) {
      Trace("configured saver skipped: path too long");
      return false;
    }
  } else {
    lstrcpynA(path, stored, MAX_PATH);
  }
  SaverPathVerdict verdict = JudgeSaverPath(path, MAX_PATH);
  if (verdict != SaverPathVerdict::Usable) {
    if (verdict == SaverPathVerdict::Empty) {
      Trace("no screen saver configured");
    } else {
      Trace("configured saver skipped (%s): %s", VerdictText(verdict), path);
    }
    return false;
  }
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Trace("configured saver skipped (no such file): %s", path);
    return false;
  }
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    Trace("configured saver skipped (no access, error %lu): %s", GetLastError(), path);
    return false;
  }
  CloseHandle(file);
  return true;
}

// Starts path with the switch; the process handle, or null.
HANDLE StartSaverProcess(const char* path, const char* mode) {
  char commandLine[MAX_PATH + 16];
  wsprintfA(commandLine, "\"%s\" %s", path, mode);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // The path is the application name: nothing is looked up along a search path.
  if (!CreateProcessA(path, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    Trace("saver did not start (error %lu): %s %s", GetLastError(), path, mode);
    return nullptr;
  }
  CloseHandle(process.hThread);
  Trace("saver started: %s %s", path, mode);
  return process.hProcess;
}

// One look at the configured saver's file, made on a thread of its own and posted back to the
// window as saverCheckedMessage; the window's thread deletes it. Settings checks carry serial 0.
struct SaverCheck {
  HWND window;
  uint32_t serial;
  // Only with a test log: how long the file takes to answer, as a network path that is down.
  DWORD testDelayMs;
  bool usable;
  char path[MAX_PATH];
};

DWORD TestFileDelay() {
  char text[16] = {};
  if (!agentRun.testLog[0] ||
      !GetEnvironmentVariableA("MORVANE_TEST_FILE_DELAY_MS", text, sizeof text)) {
    return 0;
  }
  DWORD delay = 0;
  for (const char* c = text; *c >= '0' && *c <= '9' && delay < 600000; ++c) {
    delay = delay * 10 + static_cast<DWORD>(*c - '0');
  }
  return delay;
}

DWORD WINAPI CheckSaverOffThread(void* data) {
  SaverCheck* check = static_cast<SaverCheck*>(data);
  if (check->testDelayMs) Sleep(check->testDelayMs);
  check->usable = ConfiguredSaver(check->path);
  if (!PostMessageA(check->window, saverCheckedMessage, 0, reinterpret_cast<LPARAM>(check))) {
    delete check;
  }
  return 0;
}

// False, with a trace, when the check could not even be started.
bool StartSaverCheck(uint32_t serial) {
  SaverCheck* check =
      new (std::nothrow) SaverCheck{agentRun.window, serial, TestFileDelay(), false, {}};
  if (!check) return false;
  HANDLE thread = CreateThread(nullptr, 0, CheckSaverOffThread, check, 0, nullptr);
  if (!thread) {
    Trace("saver's file not checked (error %lu)", GetLastError());
    delete check;
    return false;
  }
  CloseHandle(thread);
  return true;
}

StoredSwitch ReadSwitch(const char* keyName, const char* valueName, char* text, DWORD capacity) {
  StoredSwitch value = {};
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return value;
  }
  DWORD number = 0;
  DWORD type = 0;
  DWORD size = capacity;
  if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
          ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    value = {true, false, 0, text, size};
  } else {
    size = sizeof number;
    if (RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof number) {
      value = {true, true, number, nullptr, 0};
    }
  }
  RegCloseKey(key);
  return value;
}

// The agent's side of a "now" request.
class AgentNowSteps : public NowSteps {
 public:
  // The path the last file check found usable.
  char checkedPath[MAX_PATH] = {};

  void AskSystem() override {
    Trace("asking the system for the screen saver");
    // The system starts the user's saver as if the idle time had run out, with the secure
    // setting, its grace period and the policies applied.
    DefWindowProcA(agentRun.window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  }
  bool SaverRunning() override { return corners::SaverRunning(); }
  void CheckSaverFile(uint32_t serial) override {
    if (!StartSaverCheck(serial)) Trace("configured saver skipped: its file cannot be checked");
  }
  bool SecureSettingOn() override {
    char policy[16] = {};
    char user[16] = {};
    bool on = corners::SecureSettingOn(ReadSwitch(desktopPolicyKey, secureValue, policy, 15),
                                       ReadSwitch(desktopKey, secureValue, user, 15));
    Trace("logon screen on resume: %s", on ? "yes" : "no");
    return on;
  }
  bool LockSession() override {
    if (LockWorkStation()) return true;
    Trace("session not locked (error %lu)", GetLastError());
    return false;
  }
  void StartSaver() override { agentRun.saverProcess = StartSaverProcess(checkedPath, "/s"); }
  void Tell(NowRefusal) override {
    TellUser("Screen saver not started",
             "Your screen saver asks for the logon screen on resume, but this session cannot be "
             "locked, so the screen saver was not started.");
  }
  void Note(const char* what) override { Trace("%s", what); }
};

struct SaverStart {
  AgentNowSteps steps;
  NowRequest request{steps};
  // A settings check under way, and since when.
  bool settingsChecking = false;
  DWORD settingsSince = 0;
};

SaverStart saverStart;

void KeepCheckingWhileBusy() {
  if (!agentRun.window) return;
  if (SaverStartBusy()) {
    SetTimer(agentRun.window, SaverStartTimer, CheckPeriodMs, nullptr);
  } else {
    KillTimer(agentRun.window, SaverStartTimer);
  }
}

void AnswerSettingsCheck(const SaverCheck& check) {
  if (!saverStart.settingsChecking) {
    Trace("a late answer about the saver's file ignored");
    return;
  }
  saverStart.settingsChecking = false;
  if (!check.usable) return;
  HANDLE process = StartSaverProcess(check.path, "/c");
  if (process) CloseHandle(process);
}

}  // namespace

void ForgetSaver() {
  if (agentRun.saverProcess) CloseHandle(agentRun.saverProcess);
  agentRun.saverProcess = nullptr;
}

bool SaverRunning() {
  if (agentRun.saverProcess && WaitForSingleObject(agentRun.saverProcess, 0) == WAIT_TIMEOUT) {
    return true;
  }
  ForgetSaver();
  BOOL running = FALSE;
  return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
}

void StartConfiguredSaver() {
  saverStart.request.Begin(GetTickCount());
  KeepCheckingWhileBusy();
}

void ShowSaverSettings() {
  if (saverStart.settingsChecking) {
    Trace("the saver's settings are being started already");
    return;
  }
  saverStart.settingsChecking = StartSaverCheck(0);
  saverStart.settingsSince = GetTickCount();
  KeepCheckingWhileBusy();
}

bool SaverStartBusy() {
  return saverStart.request.Pending() || saverStart.settingsChecking;
}

void OnSaverStartTimer() {
  DWORD now = GetTickCount();
  saverStart.request.Check(now);
  if (saverStart.settingsChecking &&
      now - saverStart.settingsSince >= NowRequest::FileCheckLimitMs) {
    saverStart.settingsChecking = false;
    Trace("configured saver skipped: its file did not answer in time");
  }
  KeepCheckingWhileBusy();
}

void OnSaverChecked(LPARAM answer) {
  SaverCheck* check = reinterpret_cast<SaverCheck*>(answer);
  if (!check) return;
  if (check->serial == 0) {
    AnswerSettingsCheck(*check);
  } else {
    if (check->usable) lstrcpynA(saverStart.steps.checkedPath, check->path, MAX_PATH);
    saverStart.request.SaverChecked(check->serial, check->usable);
  }
  delete check;
  KeepCheckingWhileBusy();
}

}  // namespace corners

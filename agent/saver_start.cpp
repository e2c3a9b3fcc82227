#include "saver_start.h"

#include <new>

#include "agent_names.h"
#include "agent_state.h"
#include "now_request.h"
#include "saver_path.h"
#include "saver_process.h"
#include "settings/saver_policy_store.h"
#include "trace.h"
#include "tray_icon.h"

namespace corners {

namespace {

enum : UINT { CheckPeriodMs = 100 };

// The configured saver's full path into path (MAX_PATH bytes), the policy's when it names one;
// false when there is none the agent may start, traced when asked. Reads the registry only.
bool ConfiguredSaverPath(char* path, bool traced) {
  morvane::SaverSettings settings = morvane::ReadSaverSettings();
  const char* from = settings.saverFromPolicy ? " (policy)" : "";
  if (settings.saverKind == morvane::StoredKind::TooLong) {
    if (traced) Trace("configured saver skipped%s: path too long", from);
    return false;
  }
  if (settings.saverKind == morvane::StoredKind::ExpandText) {
    DWORD length = ExpandEnvironmentStringsA(settings.saver, path, MAX_PATH);
    if (length == 0 || length > MAX_PATH) {
      if (traced) Trace("configured saver skipped%s: path too long", from);
      return false;
    }
  } else {
    lstrcpynA(path, settings.saver, MAX_PATH);
  }
  SaverPathVerdict verdict = JudgeSaverPath(path, MAX_PATH);
  if (verdict == SaverPathVerdict::Usable) return true;
  if (!traced) return false;
  if (verdict == SaverPathVerdict::Empty) {
    Trace("no screen saver configured%s", from);
  } else {
    Trace("configured saver skipped%s (%s): %s", from, VerdictText(verdict), path);
  }
  return false;
}

// ConfiguredSaverPath, and its file there and readable. May block for long on a network path:
// called off the window thread.
bool ConfiguredSaver(char* path) {
  if (!ConfiguredSaverPath(path, true)) return false;
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

// With a test log, MORVANE_TEST_LOCK=initiated stands in for a LockWorkStation that initiates the
// lock, so that the session's notice (sent by the test, or not) decides.
bool TestLockInitiated() {
  char text[16] = {};
  return agentRun.testLog[0] && GetEnvironmentVariableA("MORVANE_TEST_LOCK", text, sizeof text) &&
         lstrcmpA(text, "initiated") == 0;
}

// The agent's side of a "now" request.
class AgentNowSteps : public NowSteps {
 public:
  // The path the last file check found usable.
  char checkedPath[MAX_PATH] = {};
  // When the request began, on GetTickCount's clock.
  DWORD requestedAt = 0;

  void AskSystem() override {
    Trace("asking the system for the screen saver");
    // The system starts the user's saver as if the idle time had run out, with the secure
    // setting, its grace period and the policies applied.
    DefWindowProcA(agentRun.window, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  }
  bool SaverRunning() override { return corners::SaverRunning(); }
  uint32_t LastInput() override {
    LASTINPUTINFO input = {sizeof input, 0};
    // Unreadable, it shows no input: the request goes on as without this sign.
    return GetLastInputInfo(&input) ? input.dwTime : requestedAt;
  }
  bool SaversActive() override { return morvane::ReadSaverSettings().saversActive; }
  void CheckSaverFile(uint32_t serial) override {
    if (!StartSaverCheck(serial)) Trace("configured saver skipped: its file cannot be checked");
  }
  bool SecureSettingOn() override {
    bool on = morvane::ReadSaverSettings().secure;
    Trace("logon screen on resume: %s", on ? "yes" : "no");
    return on;
  }
  bool LockSession() override {
    if (TestLockInitiated()) {
      Trace("lock initiated (test stand-in)");
      return true;
    }
    if (LockWorkStation()) return true;
    Trace("session not locked (error %lu)", GetLastError());
    return false;
  }
  void StartSaver() override { agentRun.saverProcess = StartSaverProcess(checkedPath, "/s"); }
  void Tell(NowRefusal why) override {
    if (why == NowRefusal::SaversOff) {
      TellUser("Screen saver not started",
               "Screen savers are switched off for this session (by your settings or by your "
               "administrator), so no screen saver was started.");
      return;
    }
    TellUser("Screen saver not started",
             "Your screen saver asks for the logon screen on resume, but this session could not "
             "be locked, so the screen saver was not started.");
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
  // Its process shows a saver the system started before the saver itself says it runs.
  char path[MAX_PATH];
  if (ConfiguredSaverPath(path, false) && SaverFileRuns(path)) {
    Trace("a process of the saver's file runs");
    return true;
  }
  BOOL running = FALSE;
  return SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) && running;
}

void StartConfiguredSaver() {
  saverStart.steps.requestedAt = GetTickCount();
  saverStart.request.Begin(saverStart.steps.requestedAt);
  KeepCheckingWhileBusy();
}

void SessionLockNoticed() {
  saverStart.request.SessionLocked();
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
    saverStart.request.SaverChecked(check->serial, check->usable, GetTickCount());
  }
  delete check;
  KeepCheckingWhileBusy();
}

}  // namespace corners

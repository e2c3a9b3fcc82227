#include "child_saver.h"

#include <tlhelp32.h>

#include <cstdio>

#include "trace.h"

namespace carousel {

namespace {

const UINT pingWaitMs = 40;

struct ChildWindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ChildWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  search->found = window;
  return FALSE;
}

typedef LONG(NTAPI* ProcessCall)(HANDLE process);

// NtSuspendProcess and NtResumeProcess hold or release every thread at once, threads started
// meanwhile included. NOTE: ntdll exports them on every Windows since XP but documents them
// nowhere; without them the threads are held one by one from a snapshot.
ProcessCall NtProcessCall(const char* name) {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll ? reinterpret_cast<ProcessCall>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)))
               : nullptr;
}

void ForEachThread(DWORD processId, bool hold) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    if (!thread) continue;
    if (hold) {
      SuspendThread(thread);
    } else {
      ResumeThread(thread);
    }
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
}

void HoldProcess(HANDLE process, DWORD processId, bool hold) {
  static const ProcessCall suspend = NtProcessCall("NtSuspendProcess");
  static const ProcessCall resume = NtProcessCall("NtResumeProcess");
  const ProcessCall call = hold ? suspend : resume;
  if (call && call(process) >= 0) return;
  ForEachThread(processId, hold);
}

}  // namespace

HANDLE MakeChildJob() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (!job) {
    Trace("no job for the savers (error %lu): a saver may outlive a run that is killed",
          GetLastError());
    return nullptr;
  }
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    Trace("the savers' job does not end them with the run (error %lu)", GetLastError());
  }
  // A saver put in the job after its start would escape it if the run were killed in between.
  // The handle stays open for the whole process, so the job ends with it and not before.
  if (AssignProcessToJobObject(job, GetCurrentProcess())) return nullptr;
  Trace("the run is not in the savers' job (error %lu): each saver is put in after its start",
        GetLastError());
  return job;
}

bool ChildSaver::Start(const std::string& path, HWND host, HANDLE job) {
  Stop(0);
  // The handle in decimal, as the display settings pass it.
  char command[MAX_PATH + 64];
  int length = std::snprintf(command, sizeof command, "\"%s\" /p %lu", path.c_str(),
                             static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host)));
  if (length < 0 || length >= static_cast<int>(sizeof command)) {
    Trace("the saver's path is too long: %.200s", path.c_str());
    return false;
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(path.c_str(), command, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &info)) {
    Trace("cannot start %s (error %lu)", path.c_str(), GetLastError());
    return false;
  }
  if (job && !AssignProcessToJobObject(job, info.hProcess)) {
    Trace("%s runs outside the savers' job (error %lu)", path.c_str(), GetLastError());
  }
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  window_ = nullptr;
  held_ = false;
  startedMs_ = GetTickCount();
  ping_ = PingState(startedMs_);
  return true;
}

void ChildSaver::Stop(DWORD waitMs) {
  if (!process_) return;
  // A held process ends as well; released first all the same, so that nothing waits on it.
  if (held_) HoldProcess(process_, processId_, false);
  TerminateProcess(process_, 0);
  if (waitMs && WaitForSingleObject(process_, waitMs) != WAIT_OBJECT_0) {
    Trace("saver process %lu did not end within %lu ms", processId_, waitMs);
  }
  CloseHandle(process_);
  process_ = nullptr;
  processId_ = 0;
  window_ = nullptr;
  held_ = false;
}

bool ChildSaver::Ended() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

DWORD ChildSaver::ExitCode() const {
  DWORD code = 0;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

HWND ChildSaver::Adopt(HWND host) {
  if (window_ && IsWindow(window_)) return window_;
  ChildWindowSearch search = {processId_, nullptr};
  EnumChildWindows(host, FindProcessWindow, reinterpret_cast<LPARAM>(&search));
  window_ = search.found;
  if (!window_) return nullptr;
  // Disabled, it takes no input: the pointer over it and the keys reach our window, and with it
  // the framework's rules for ending the run.
  EnableWindow(window_, FALSE);
  Fit(host);
  ping_.Forgive(GetTickCount());
  return window_;
}

void ChildSaver::Fit(HWND host) {
  if (!window_) return;
  RECT client, now;
  GetClientRect(host, &client);
  GetWindowRect(window_, &now);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&now), 2);
  if (EqualRect(&client, &now)) return;
  SetWindowPos(window_, nullptr, 0, 0, client.right, client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
}

bool ChildSaver::Hung(uint32_t nowMs) {
  if (!window_ || held_) return false;
  // NOTE: a short wait on the saver thread rather than SendMessageCallback: under Wine, with
  // callback pings to a saver that crashed (its process kept alive for its debugger) the run lost
  // its ticks, without pings it did not; a bounded wait needs no callback at all. SMTO_BLOCK: no
  // tick of ours runs inside the wait. A window that answers does so in well under the wait; one
  // that does not costs it once a tick until it counts as hung.
  DWORD_PTR result;
  if (SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, pingWaitMs,
                          &result)) {
    ping_.Answered(nowMs);
  }
  return ping_.Hung(nowMs);
}

void ChildSaver::Hold() {
  if (!process_ || held_) return;
  HoldProcess(process_, processId_, true);
  held_ = true;
}

void ChildSaver::Release(uint32_t nowMs) {
  if (!process_ || !held_) return;
  HoldProcess(process_, processId_, false);
  held_ = false;
  ping_.Forgive(nowMs);
  // Held before it made its window: the wait for the window starts again.
  if (!window_) startedMs_ = nowMs;
}

}  // namespace carousel

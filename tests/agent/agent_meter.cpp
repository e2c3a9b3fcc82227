// For the agent's benchmark: the running agent's processor time and working set, as Windows counts
// them, over a stretch of seconds.
//   agent_meter SECONDS   prints "cpu_ms=N seconds=S working_set_kb=N peak_working_set_kb=N
//                         baseline_kb=N", the last the working set of this meter itself: what any
//                         program costs under the same system before it does anything
// Exit code 1 when no agent runs.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

ULONGLONG ProcessorTime100ns(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  ULARGE_INTEGER k = {{kernel.dwLowDateTime, kernel.dwHighDateTime}};
  ULARGE_INTEGER u = {{user.dwLowDateTime, user.dwHighDateTime}};
  return k.QuadPart + u.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  if (seconds < 1) seconds = 1;
  HWND agent = FindWindowA("MorvaneHotCornersAgent", nullptr);
  DWORD id = 0;
  if (agent) GetWindowThreadProcessId(agent, &id);
  HANDLE process =
      id ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id) : nullptr;
  if (!process) {
    std::printf("no agent runs\n");
    return 1;
  }
  ULONGLONG before = ProcessorTime100ns(process);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  ULONGLONG after = ProcessorTime100ns(process);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, &memory, sizeof memory);
  PROCESS_MEMORY_COUNTERS own = {};
  own.cb = sizeof own;
  GetProcessMemoryInfo(GetCurrentProcess(), &own, sizeof own);
  std::printf("cpu_ms=%llu seconds=%d working_set_kb=%lu peak_working_set_kb=%lu baseline_kb=%lu\n",
              (after - before) / 10000, seconds,
              static_cast<unsigned long>(memory.WorkingSetSize / 1024),
              static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
              static_cast<unsigned long>(own.WorkingSetSize / 1024));
  CloseHandle(process);
  return 0;
}

// Figures, not a test: the CPU that savers of the SDK's library cost while they draw and while the
// display is off (SC_MONITORPOWER 2, as the system sends it). The savers read their own process
// times (GetProcessTimes inside the saver, test_log.h's TestLogCpu): under Wine another process's
// times read 0. The wineserver's share is not in these figures.
//   wine-run bin/scrnsave_bench.exe [--seconds N]      (N seconds per phase, 5 by default)
// It runs gdi_saver.scr (GDI on a 40 ms timer of its own) and wide_saver.scr (painting on every
// WM_PAINT it asks for) full screen in turn and prints a line per saver and phase.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const char saverClass[] = "WindowsScreenSaverClass";
const int reportMs = 250;

struct Search {
  DWORD process;
  HWND window;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  char name[64];
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && GetClassNameA(window, name, sizeof name) &&
      lstrcmpA(name, saverClass) == 0) {
    search->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForWindow(DWORD process) {
  Search search = {process, nullptr};
  for (int i = 0; i < 500 && !search.window; ++i) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.window) Sleep(20);
  }
  return search.window;
}

// The saver's latest "cpu <us> at <us>" line, and how many frames it logged so far.
struct Report {
  double cpuUs = -1, atUs = -1;
  int frames = 0;
};

Report ReadReport(const std::string& log, const char* frame) {
  std::ifstream file(log);
  std::string line;
  Report report;
  while (std::getline(file, line)) {
    unsigned long cpu = 0, at = 0;
    if (std::sscanf(line.c_str(), "cpu %lu at %lu", &cpu, &at) == 2) {
      report.cpuUs = cpu;
      report.atUs = at;
    } else if (line.compare(0, std::strlen(frame), frame) == 0) {
      ++report.frames;
    }
  }
  return report;
}

void MeasurePhase(const char* saver, const char* frame, const char* phase, const std::string& log,
                  double seconds) {
  Report start = ReadReport(log, frame);
  Sleep(static_cast<DWORD>(seconds * 1000) + reportMs);
  Report end = ReadReport(log, frame);
  double cpu = (end.cpuUs - start.cpuUs) / 1e6, elapsed = (end.atUs - start.atUs) / 1e6;
  if (start.cpuUs < 0 || elapsed <= 0) {
    std::printf("%-15s %-12s no CPU figures in the log\n", saver, phase);
    return;
  }
  std::printf("%-15s %-12s cpu %8.4f s over %6.3f s = %7.3f %% of a core, %5.1f frames/s\n", saver,
              phase, cpu, elapsed, 100.0 * cpu / elapsed, (end.frames - start.frames) / elapsed);
}

bool Bench(const std::string& folder, const char* saver, const char* frame, double seconds) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string log = std::string(temp) + "scrnsave_bench.log";
  DeleteFileA(log.c_str());
  SetEnvironmentVariableA("MORVANE_TEST_LOG", log.c_str());
  SetEnvironmentVariableA("MORVANE_TEST_CPU_MS", std::to_string(reportMs).c_str());
  std::string line = "\"" + folder + saver + "\" /s";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::printf("%-15s could not be started (%lu)\n", saver, GetLastError());
    return false;
  }
  HWND window = WaitForWindow(process.dwProcessId);
  if (window) {
    Sleep(1000);  // past the start and its first frames
    MeasurePhase(saver, frame, "drawing", log, seconds);
    SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    MeasurePhase(saver, frame, "display off", log, seconds);
    SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, -1);
    PostMessageA(window, WM_CLOSE, 0, 0);
  } else {
    std::printf("%-15s showed no window\n", saver);
  }
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return window != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 5;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
  }
  if (seconds <= 0) seconds = 5;
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  folder = folder.substr(0, folder.find_last_of('\\') + 1) + "scrnsave\\";
  bool all = Bench(folder, "gdi_saver.scr", "gdi timer", seconds);
  all = Bench(folder, "wide_saver.scr", "wide paint", seconds) && all;
  return all ? 0 : 1;
}

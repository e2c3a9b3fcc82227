// Figures for the timer threads; not a test. Run under the build's Wine session:
//   wine-run bin/framework_timer_bench.exe [accuracy] [cpu] [firsttick] [display] [--ticks N]
//   [--runs N]
// With no benchmark named, all run. Each benchmark is one entry of the table in main, taking the
// options and printing its own lines.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_saver.h"
#include "timer/timer.h"

using namespace morvane;

namespace {

struct Options {
  int ticks = 200;
  int runs = 10;
};

// ---- A saver that paces itself with SetTimer and WM_TIMER, for comparison ----

std::vector<double>* timerLog;

LRESULT CALLBACK SetTimerSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    timerLog->push_back(NowMs());
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<double> SetTimerTicks(int periodMs, int ticks) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = SetTimerSaverProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TimerBenchSetTimerClass";
  RegisterClassA(&windowClass);
  std::vector<double> log;
  timerLog = &log;
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  SetTimer(window, 1, static_cast<UINT>(periodMs), nullptr);
  PumpUntil([&] { return static_cast<int>(log.size()) > ticks; }, (ticks + 10) * periodMs * 3);
  KillTimer(window, 1);
  DestroyWindow(window);
  std::vector<double> intervals;
  for (size_t i = 1; i < log.size(); ++i) intervals.push_back(log[i] - log[i - 1]);
  return intervals;
}

std::vector<double> MorvaneTicks(int periodMs, int ticks, double drawingMs) {
  TickScript script;
  script.handlingMs = drawingMs;
  script.answer = [periodMs, ticks](HWND, int index) {
    return index < ticks ? LRESULT(periodMs) : LRESULT(-1);
  };
  HWND window = CreateTestSaver(&script);
  ScrStartTimer(window);
  TimerRecord* record = LookUpTimerRecord(window);
  if (record) PumpUntilEnded(record->threadHandle, (ticks + 10) * periodMs * 3);
  DestroyWindow(window);
  return TickIntervals(script);
}

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

// The middle value, or the mean of the two middle values of an even count.
double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t half = values.size() / 2;
  return values.size() % 2 ? values[half] : (values[half - 1] + values[half]) / 2;
}

void PrintRow(int periodMs, const char* source, const std::vector<double>& intervals) {
  std::printf("%6d  %-22s %6zu  %8.3f  %8.3f  %8.3f  %8.3f\n", periodMs, source, intervals.size(),
              Mean(intervals), Quantile(intervals, 0.5), Quantile(intervals, 0.99),
              Quantile(intervals, 1.0));
}

// The system timer resolution as ntdll reports it, in ms; 0 when it cannot be read.
double CurrentTimerResolutionMs() {
  typedef LONG(NTAPI * Query)(ULONG*, ULONG*, ULONG*);
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  Query query = ntdll ? reinterpret_cast<Query>(reinterpret_cast<void*>(
                            GetProcAddress(ntdll, "NtQueryTimerResolution")))
                      : nullptr;
  ULONG coarsest = 0, finest = 0, current = 0;
  if (!query || query(&coarsest, &finest, &current) != 0) return 0;
  return current / 10000.0;
}

void PrintClock() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::printf("Measured with QueryPerformanceCounter at %lld Hz; ticks paced with timeGetTime.\n",
              static_cast<long long>(frequency.QuadPart));
  double resolution = CurrentTimerResolutionMs();
  if (resolution > 0) {
    std::printf("Timer resolution: %.3f ms (NtQueryTimerResolution), with timeBeginPeriod(1).\n",
                resolution);
  } else {
    std::printf("Timer resolution: not reported by this system; timeBeginPeriod(1) is in force.\n");
  }
}

void BenchAccuracy(const Options& options) {
  std::printf("\n== Tick accuracy: start-to-start intervals, %d ticks per row ==\n", options.ticks);
  std::printf("%6s  %-22s %6s  %8s  %8s  %8s  %8s\n", "period", "source", "ticks", "mean", "median",
              "p99", "max");
  for (int period : {10, 20, 50}) {
    PrintRow(period, "morvane timer", MorvaneTicks(period, options.ticks, 0));
    PrintRow(period, "morvane, 3 ms drawing", MorvaneTicks(period, options.ticks, 3));
    PrintRow(period, "SetTimer/WM_TIMER", SetTimerTicks(period, options.ticks));
    std::fflush(stdout);
  }
}

// ---- CPU of a saver ticking every 50 ms with trivial drawing ----

double ProcessCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

void BenchCpu(const Options&) {
  const int periodMs = 50;
  const double wallMs = 5000;
  std::printf("\n== CPU of a saver ticking every %d ms with trivial drawing, %.0f s ==\n", periodMs,
              wallMs / 1000);
  TickScript script;
  double until = 0;
  script.answer = [&until](HWND window, int index) {
    HDC dc = GetDC(window);
    RECT area = {0, 0, 10, 10};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(index % 2 ? BLACK_BRUSH : WHITE_BRUSH)));
    ReleaseDC(window, dc);
    return NowMs() < until ? LRESULT(periodMs) : LRESULT(-1);
  };
  HWND window = CreateTestSaver(&script);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  double cpuBefore = ProcessCpuSeconds();
  double start = NowMs();
  until = start + wallMs;
  ScrStartTimer(window);
  TimerRecord* record = LookUpTimerRecord(window);
  if (record) PumpUntilEnded(record->threadHandle, static_cast<DWORD>(wallMs) * 2);
  double wall = (NowMs() - start) / 1000;
  double cpu = ProcessCpuSeconds() - cpuBefore;
  DestroyWindow(window);
  std::printf("ticks %d, wall %.2f s, process CPU %.3f s: %.4f CPU s per wall s\n", script.count(),
              wall, cpu, cpu / wall);
  std::printf("(the Wine server's own CPU is not included; measure it from the host)\n");
}

// ---- From launching a saver with "/s" to its first tick, against a bare window ----

// A program started with "/s" from its folder under the bench's, the log line that marks its first
// frame, and its window's class. Each logs "winmain" at its entry (start_log.h).
struct StartTarget {
  const char* name;
  const char* folder;
  const char* program;
  const char* line;
  const char* windowClass;
};
const StartTarget startTargets[] = {
    {"bare window (C)", "", "bare_window.exe", "painted", "BareFullScreenWindow"},
    {"saver, morvane.dll", "c_saver", "start_saver_dll.exe", "tick", "KoScreenSaverClass"},
    {"saver, static library", "", "start_saver_static.exe", "tick", "KoScreenSaverClass"},
};
const int startTargetCount = 3;
const DWORD firstTickPollMs = 1;
const DWORD firstTickLimitMs = 10000;
const DWORD saverEndLimitMs = 5000;

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

// This process's environment without the test savers' own variables, so that the saver runs with
// its defaults whatever the caller set, plus MORVANE_TEST_LOG; sorted, as CreateProcess expects.
std::string SaverEnvironment(const std::string& logPath) {
  std::vector<std::string> entries;
  char* block = GetEnvironmentStringsA();
  for (const char* entry = block; entry && *entry; entry += std::strlen(entry) + 1) {
    if (_strnicmp(entry, "MORVANE_TEST_", 13) != 0) entries.push_back(entry);
  }
  if (block) FreeEnvironmentStringsA(block);
  entries.push_back("MORVANE_TEST_LOG=" + logPath);
  std::sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return _stricmp(a.c_str(), b.c_str()) < 0;
  });
  std::string result;
  for (const std::string& entry : entries) result += entry + '\0';
  result += '\0';
  return result;
}

// The log's text; empty while there is none.
std::string ReadLog(const std::string& logPath) {
  HANDLE file = CreateFileA(logPath.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

// The counter value on the line "prefix COUNT", or -1 while there is none.
long long LoggedCount(const std::string& text, const char* prefix) {
  size_t length = std::strlen(prefix);
  for (size_t start = 0; start < text.size();) {
    if (text.compare(start, length, prefix) == 0 && text[start + length] == ' ') {
      return std::strtoll(text.c_str() + start + length + 1, nullptr, 10);
    }
    size_t newline = text.find('\n', start);
    if (newline == std::string::npos) break;
    start = newline + 1;
  }
  return -1;
}

struct WindowSearch {
  DWORD processId;
  const char* windowClass;
  HWND found;
};

BOOL CALLBACK FindSaverWindow(HWND window, LPARAM lParam) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char className[64] = "";
  GetClassNameA(window, className, sizeof className);
  if (processId != search->processId || std::strcmp(className, search->windowClass) != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

// Ends the saver as a key press does; kills it when that fails. Whether it ended with 2.
bool EndSaver(const PROCESS_INFORMATION& process, const char* windowClass) {
  WindowSearch search = {process.dwProcessId, windowClass, nullptr};
  EnumWindows(FindSaverWindow, reinterpret_cast<LPARAM>(&search));
  if (search.found) PostMessageA(search.found, WM_KEYDOWN, VK_SPACE, 0);
  if (WaitForSingleObject(process.hProcess, saverEndLimitMs) != WAIT_OBJECT_0) {
    std::printf("warning: the saver %s did not end within %lu ms of a key; terminated\n",
                search.found ? "window" : "(no window found)",
                static_cast<unsigned long>(saverEndLimitMs));
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, saverEndLimitMs);
    return false;
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  if (exitCode != 2) {
    std::printf("warning: the saver ended with %lu, not 2\n", static_cast<unsigned long>(exitCode));
  }
  return exitCode == 2;
}

// One start's figures in ms: from just before CreateProcessA to the program's WinMain, and from
// there to its first frame; negative when it could not be started or did not draw in time.
struct StartFigures {
  double toMain, toFirst;
};

double CounterMs(long long counts) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(counts) / static_cast<double>(frequency.QuadPart);
}

StartFigures StartOnce(const std::string& benchFolder, int run, const StartTarget& target) {
  char logName[64];
  std::snprintf(logName, sizeof logName, "\\firsttick-%lu-%d.log",
                static_cast<unsigned long>(GetCurrentProcessId()), run);
  char tempFolder[MAX_PATH];
  DWORD tempLength = GetTempPathA(sizeof tempFolder, tempFolder);
  std::string logPath = std::string(tempFolder, tempLength);
  while (!logPath.empty() && (logPath.back() == '\\' || logPath.back() == '/')) logPath.pop_back();
  logPath += logName;
  DeleteFileA(logPath.c_str());
  std::string environment = SaverEnvironment(logPath);
  std::string folder = benchFolder + (*target.folder ? std::string("\\") + target.folder : "");
  std::string commandLine = "\"" + folder + "\\" + target.program + "\" /s";
  std::vector<char> writableCommandLine(commandLine.begin(), commandLine.end());
  writableCommandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};

  StartFigures figures = {-1, -1};
  LARGE_INTEGER launch;
  QueryPerformanceCounter(&launch);
  double start = NowMs();
  if (!CreateProcessA(nullptr, writableCommandLine.data(), nullptr, nullptr, FALSE, 0,
                      &environment[0], folder.c_str(), &startup, &process)) {
    std::printf("run %2d: CreateProcessA(%s) failed, error %lu\n", run, commandLine.c_str(),
                static_cast<unsigned long>(GetLastError()));
    return figures;
  }
  long long first = -1;
  std::string text;
  for (;;) {
    text = ReadLog(logPath);
    first = LoggedCount(text, target.line);
    if (first >= 0 || NowMs() - start > firstTickLimitMs) break;
    if (WaitForSingleObject(process.hProcess, firstTickPollMs) == WAIT_OBJECT_0) {
      // It may have logged its frame just before ending; look once more.
      text = ReadLog(logPath);
      first = LoggedCount(text, target.line);
      break;
    }
  }
  long long main = LoggedCount(text, "winmain");
  if (first >= 0 && main >= 0) {
    figures = {CounterMs(main - launch.QuadPart), CounterMs(first - main)};
  } else {
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (exitCode == STILL_ACTIVE) {
      std::printf("run %2d: %s: no first frame within %lu ms\n", run, target.name,
                  static_cast<unsigned long>(firstTickLimitMs));
    } else {
      std::printf("run %2d: %s ended with %lu before its first frame\n", run, target.name,
                  static_cast<unsigned long>(exitCode));
    }
    std::printf("        its log: %s\n", text.empty() ? "(nothing)" : text.c_str());
  }
  EndSaver(process, target.windowClass);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileA(logPath.c_str());
  return figures;
}

// Each program started in turns, so that all meet the same machine; medians, and each saver's
// launch-to-first-frame over the bare window's.
void BenchFirstTick(const Options& options) {
  std::printf(
      "\n== From CreateProcessA(\"PROGRAM /s\") to WinMain and on to the first frame, "
      "%d runs each in turns ==\n",
      options.runs);
  std::printf(
      "Clock: QueryPerformanceCounter, read by each program at WinMain and at its first frame "
      "(the bare window's first WM_PAINT, a saver's first tick). The DLL-linked saver loads the "
      "installed morvane.dll.\n");
  std::string folder = ProgramFolder();
  // Wine starts its desktop process for the first program of a session that needs it; a window
  // program started from this console program before then never gets a window (Wine's own
  // notepad neither). Making the desktop here also keeps that one-off start out of the figures.
  GetDesktopWindow();
  std::vector<double> toMain[startTargetCount], toFirst[startTargetCount], total[startTargetCount];
  for (int run = 1; run <= options.runs; ++run) {
    std::printf("run %2d:", run);
    for (int t = 0; t < startTargetCount; ++t) {
      StartFigures f = StartOnce(folder, run, startTargets[t]);
      std::printf("  %s %.1f+%.1f ms", startTargets[t].program, f.toMain, f.toFirst);
      if (f.toMain < 0) continue;
      toMain[t].push_back(f.toMain);
      toFirst[t].push_back(f.toFirst);
      total[t].push_back(f.toMain + f.toFirst);
    }
    std::printf("\n");
    std::fflush(stdout);
  }
  std::printf("%-24s %5s  %16s  %16s  %16s  %6s\n", "program", "runs", "launch->WinMain",
              "WinMain->first", "launch->first", "ratio");
  for (int t = 0; t < startTargetCount; ++t) {
    if (total[t].empty()) {
      std::printf("%-24s no run reached its first frame\n", startTargets[t].name);
      continue;
    }
    double ratio = total[0].empty() ? 0 : Median(total[t]) / Median(total[0]);
    std::printf("%-24s %5zu  %13.1f ms  %13.1f ms  %13.1f ms  %6.3f\n", startTargets[t].name,
                total[t].size(), Median(toMain[t]), Median(toFirst[t]), Median(total[t]), ratio);
  }
  std::printf("(medians; ratio: launch->first over the bare window's)\n");
}

// ---- Ticks paced by the display ----

struct MonitorRates {
  HMONITOR monitors[4];
  uint32_t millihertz[4];  // 0: the system does not say
  int count;
};
MonitorRates benchRates;

BOOL CALLBACK AddBenchMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  if (benchRates.count == 4) return FALSE;
  benchRates.monitors[benchRates.count] = monitor;
  benchRates.millihertz[benchRates.count] = platformDisplayRefreshSteps.millihertz(monitor);
  ++benchRates.count;
  return TRUE;
}

// The system's rates, except that a second monitor reporting the first one's rate is given 75 Hz,
// so that two windows of different rates can be measured where the display cannot have them.
uint32_t RateOf(int i) {
  return benchRates.millihertz[i] ? benchRates.millihertz[i] : 60000;
}

uint32_t BenchMillihertz(HMONITOR monitor) {
  for (int i = 0; i < benchRates.count; ++i) {
    if (benchRates.monitors[i] == monitor) return benchRates.millihertz[i];
  }
  return 0;
}

struct DisplayTicks {
  HWND window;
  TickScript script;
};

void PrintDisplayRow(const char* what, const TickScript& script, double periodMs) {
  std::vector<double> intervals = TickIntervals(script);
  if (intervals.size() < 2) {
    std::printf("%-26s no ticks\n", what);
    return;
  }
  double span = script.startMs.back() - script.startMs.front();
  std::vector<double> deviations;
  for (double interval : intervals) deviations.push_back(std::fabs(interval - periodMs));
  std::printf("%-26s %6zu  %8.3f  %9.3f  %8.3f  %8.3f\n", what, intervals.size() + 1,
              intervals.size() * 1000.0 / span, Mean(intervals), Quantile(deviations, 0.99),
              periodMs);
}

// Display-paced windows on the given monitors (null: where the window is made) for about seconds.
void RunDisplayTicks(DisplayTicks* runs, const HMONITOR* monitors, int count, int seconds) {
  for (int i = 0; i < count; ++i) {
    runs[i].script.answer = [](HWND, int) { return LRESULT(SCR_TICK_DISPLAY); };
    runs[i].window = CreateTestSaver(&runs[i].script);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (monitors[i] && GetMonitorInfoA(monitors[i], &info)) {
      SetWindowPos(runs[i].window, nullptr, info.rcMonitor.left, info.rcMonitor.top, 64, 64,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  for (int i = 0; i < count; ++i) ScrStartTimer(runs[i].window);
  PumpUntil([] { return false; }, static_cast<DWORD>(seconds) * 1000);
  for (int i = 0; i < count; ++i) DestroyWindow(runs[i].window);
}

void BenchDisplay(const Options& options) {
  int seconds = options.ticks / 60 > 1 ? options.ticks / 60 : 2;
  EnumDisplayMonitors(nullptr, nullptr, AddBenchMonitor, 0);
  std::printf("\n== Ticks paced by the display (SCR_TICK_DISPLAY), %d s per window ==\n", seconds);
  for (int i = 0; i < benchRates.count; ++i) {
    std::printf("monitor %d reports %.3f Hz\n", i + 1, RateOf(i) / 1000.0);
  }
  std::printf("%-26s %6s  %8s  %9s  %8s  %8s\n", "window", "ticks", "per s", "mean ms", "p99 dev",
              "period");
  DisplayTicks one[1];
  HMONITOR primary[1] = {nullptr};
  RunDisplayTicks(one, primary, 1, seconds);
  PrintDisplayRow("one window, the display's", one[0].script, 1000.0 / (RateOf(0) / 1000.0));
  if (benchRates.count < 2) {
    std::printf("one monitor: for two rates run it in tools/multimon-session.sh's session\n");
    return;
  }
  bool sameRate = RateOf(0) == RateOf(1);
  if (sameRate) {
    benchRates.millihertz[1] = 75000;
    std::printf("monitor 2 reports the same rate: given 75 Hz through the test seam\n");
  }
  displayRefreshSteps.millihertz = BenchMillihertz;
  DisplayTicks two[2];
  RunDisplayTicks(two, benchRates.monitors, 2, seconds);
  displayRefreshSteps = platformDisplayRefreshSteps;
  for (int i = 0; i < 2; ++i) {
    char what[32];
    std::snprintf(what, sizeof what, "monitor %d at %lu Hz", i + 1,
                  static_cast<unsigned long>(RateOf(i) / 1000));
    PrintDisplayRow(what, two[i].script, 1e6 / RateOf(i));
  }
}

struct Benchmark {
  const char* name;
  void (*run)(const Options&);
};

const Benchmark benchmarks[] = {{"accuracy", BenchAccuracy},
                                {"cpu", BenchCpu},
                                {"firsttick", BenchFirstTick},
                                {"display", BenchDisplay}};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> chosen;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc) {
      options.ticks = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      options.runs = std::atoi(argv[++i]);
    } else {
      chosen.push_back(argv[i]);
    }
  }
  OpenThreadRegistry();
  RaiseTimerResolution();
  PrintClock();
  for (const Benchmark& benchmark : benchmarks) {
    bool wanted = chosen.empty();
    for (const std::string& name : chosen) wanted = wanted || name == benchmark.name;
    if (wanted) benchmark.run(options);
  }
  AwaitTimerThreads(TimerThreadWaitLimit);
  CloseThreadRegistry();
  RestoreTimerResolution();
  return 0;
}

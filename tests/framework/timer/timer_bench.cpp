// Figures for the timer threads; not a test. Run under the build's Wine session:
//   wine-run bin/framework_timer_bench.exe [accuracy] [cpu] [--ticks N]
// With no benchmark named, all run. Each benchmark is one entry of the table in main, taking the
// options and printing its own lines.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_saver.h"
#include "timer.h"

namespace {

struct Options {
  int ticks = 200;
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

struct Benchmark {
  const char* name;
  void (*run)(const Options&);
};

const Benchmark benchmarks[] = {{"accuracy", BenchAccuracy}, {"cpu", BenchCpu}};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> chosen;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--ticks") == 0 && i + 1 < argc) {
      options.ticks = std::atoi(argv[++i]);
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

// Frames per second and CPU of glimmerbox.scr's full-screen saver against the demo's own frame
// rate, in one run:
//   saver_bench [SECONDS]   the demo's loop (render and swap as fast as it goes) at 800x600 and at
//                           the screen's size, then this program again with "/s" as the saver
//                           (the very code of glimmerbox.scr, paced by its timer), each measured
//                           for SECONDS (default 5) after a second of warming up
//   saver_bench saver [SECONDS]   the saver alone; with a window per monitor, the frames of each
//                           window (tools/multimon-session.sh and tests/bench/multimon_bench.py)
// Run from the folder that holds texture/ (the demo loads its pictures from there).
#include <windows.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "glimmer_saver.h"
#include "light_sim.h"
#include "morvane.h"
#include "run_self_as_saver.h"
#include "scene_render.h"
#include "scene_window.h"
#include "saver_window.h"

namespace {

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// User and kernel time of this process, in seconds.
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                               t.dwLowDateTime) /
           1e7;
  };
  return seconds(kernel) + seconds(user);
}

double measureSeconds = 5.0;

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool MeasureDemo(int width, int height) {
  if (!OpenSceneWindow("Glimmerbox", width, height, 16, false)) return false;
  for (double end = Now() + 1.0; Now() < end;) {
    PumpMessages();
    RenderFrame();
    SwapBuffers(deviceContext);
  }
  long frames = 0;
  const double cpu0 = CpuSeconds(), t0 = Now();
  while (Now() - t0 < measureSeconds) {
    PumpMessages();
    RenderFrame();
    SwapBuffers(deviceContext);
    ++frames;
  }
  glFinish();
  const double wall = Now() - t0, cpu = CpuSeconds() - cpu0;
  std::printf("  demo %4dx%-4d %7.1f frames/s   CPU %.2f s per s of wall time\n", width, height,
              frames / wall, cpu / wall);
  CloseSceneWindow();
  UnregisterClassA("OpenGL", GetModuleHandleA(nullptr));
  return true;
}

// ---- The saver, in a second run of this program with "/s" ----

// Every full-screen window of the run is counted on its own: with a window per monitor each
// draws its own frames, one per tick.
struct WindowCount {
  HWND window;
  long ticks;
  long ticksAtStart;
};
constexpr int maxWindows = 16;
WindowCount counts[maxWindows];
int windowCount;
double tick0, cpu0;
bool measured;

// Asks the saver windows to go once the figures are out. They are destroyed directly: a close
// could wait for a password that the user's settings ask for.
constexpr UINT BenchDone = WM_APP + 0x200;

WindowCount* CountOf(HWND window) {
  for (int i = 0; i < windowCount; ++i)
    if (counts[i].window == window) return &counts[i];
  if (windowCount == maxWindows) return nullptr;
  counts[windowCount] = {window, 0, 0};
  return &counts[windowCount++];
}

void PrintFigures(double wall, int period) {
  const double cpu = CpuSeconds() - cpu0;
  long all = 0;
  for (int i = 0; i < windowCount; ++i) {
    const long ticks = counts[i].ticks - counts[i].ticksAtStart;
    RECT area = {};
    const int monitor = ScrGetWindowMonitor(counts[i].window, &area);
    std::printf(
        "  saver monitor %d %4ldx%-4ld at %5ld,%-5ld %6.1f frames/s  (%ld frames, period %d "
        "ms)\n",
        monitor, area.right - area.left, area.bottom - area.top, area.left, area.top, ticks / wall,
        ticks, period);
    all += ticks;
  }
  std::printf("  saver %d window(s): %.1f frames/s in all   CPU %.2f s per s of wall time\n",
              windowCount, all / wall, cpu / wall);
  std::fflush(stdout);
}

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == BenchDone) {
    DestroyWindow(window);
    return 0;
  }
  if (message != SCRM_TIMER || GetParent(window) || measured)
    return GlimmerSaverProc(window, message, wParam, lParam);
  const LRESULT period = GlimmerSaverProc(window, message, wParam, lParam);
  WindowCount* count = CountOf(window);
  if (!count) return period;
  ++count->ticks;
  const double now = Now();
  if (tick0 == 0 && SaverWindowSteps(window) > 0) {
    // A second of warming up, during which the other monitors' windows start too.
    tick0 = now + 1.0;
  } else if (tick0 > 0 && now >= tick0 && cpu0 == 0) {
    cpu0 = CpuSeconds();
    tick0 = now;
    for (int i = 0; i < windowCount; ++i) counts[i].ticksAtStart = counts[i].ticks;
  } else if (cpu0 > 0 && now - tick0 >= measureSeconds) {
    PrintFigures(now - tick0, static_cast<int>(period));
    measured = true;
    for (int i = 0; i < windowCount; ++i) PostMessageA(counts[i].window, BenchDone, 0, 0);
  }
  return period;
}

int RunSaverInChild() {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%g", measureSeconds);
  return RunSelfAsSaver(seconds, static_cast<DWORD>((measureSeconds + 30) * 1000));
}

}  // namespace

int main(int argc, char** argv) {
  const bool saver = argc > 1 && (std::strcmp(argv[1], "/s") == 0);
  const bool saverAlone = argc > 1 && (std::strcmp(argv[1], "saver") == 0);
  const char* seconds =
      saver || saverAlone ? (argc > 2 ? argv[2] : nullptr) : (argc > 1 ? argv[1] : nullptr);
  if (seconds && std::atof(seconds) > 0) measureSeconds = std::atof(seconds);
  if (saver) return RunGlimmerSaver(GetModuleHandleA(nullptr), CountingProc);
  if (saverAlone) {
    std::printf("glimmerbox.scr frame rates, %g s, on %d monitor(s)\n", measureSeconds,
                GetSystemMetrics(SM_CMONITORS));
    std::fflush(stdout);
    return RunSaverInChild();
  }

  std::printf("glimmerbox frame rates, %g s each, GL renderer: see the demo window\n",
              measureSeconds);
  std::fflush(stdout);
  if (!MeasureDemo(800, 600) ||
      !MeasureDemo(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
    return 1;
  std::fflush(stdout);
  return RunSaverInChild();
}

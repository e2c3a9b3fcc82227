// Frames per second and CPU of glimmerbox.scr's full-screen saver against the demo's own frame
// rate, in one run:
//   saver_bench [SECONDS]   the demo's loop (render and swap as fast as it goes) at 800x600 and at
//                           the screen's size, then this program again with "/s" as the saver
//                           (the very code of glimmerbox.scr, paced by its timer), each measured
//                           for SECONDS (default 5) after a second of warming up
// Run from the folder that holds texture/ (the demo loads its pictures from there).
#include <windows.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "glimmer_saver.h"
#include "light_sim.h"
#include "morvane.h"
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

long ticks;
double tick0, cpu0;
int warmTicks = -1;
bool measured;

// Asks the saver window to go once the figures are out. The window is destroyed directly: a
// close could wait for a password that the user's settings ask for.
constexpr UINT BenchDone = WM_APP + 0x200;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == BenchDone) {
    DestroyWindow(window);
    return 0;
  }
  if (message != SCRM_TIMER || GetParent(window) || measured)
    return GlimmerSaverProc(window, message, wParam, lParam);
  const LRESULT period = GlimmerSaverProc(window, message, wParam, lParam);
  const double now = Now();
  if (tick0 == 0 && SaverWindowSteps(window) > 0 && warmTicks < 0) {
    warmTicks = 0;
    tick0 = now + 1.0;
  } else if (now >= tick0 && tick0 > 0 && cpu0 == 0) {
    cpu0 = CpuSeconds();
    tick0 = now;
    ticks = 0;
  } else if (cpu0 > 0) {
    ++ticks;
    if (now - tick0 >= measureSeconds) {
      const double wall = now - tick0;
      std::printf(
          "  saver %4dx%-4d %6.1f frames/s   CPU %.2f s per s of wall time  (%ld frames, period %d "
          "ms)\n",
          GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), ticks / wall,
          (CpuSeconds() - cpu0) / wall, ticks, static_cast<int>(period));
      std::fflush(stdout);
      measured = true;
      PostMessageA(window, BenchDone, 0, 0);
    }
  }
  return period;
}

int RunSaverInChild() {
  char self[MAX_PATH];
  if (!GetModuleFileNameA(nullptr, self, sizeof self)) return 1;
  char command[MAX_PATH + 64];
  std::snprintf(command, sizeof command, "\"%s\" /s %g", self, measureSeconds);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self, command, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process))
    return 1;
  WaitForSingleObject(process.hProcess, static_cast<DWORD>((measureSeconds + 30) * 1000));
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 2 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool saver = argc > 1 && (std::strcmp(argv[1], "/s") == 0);
  const char* seconds = saver ? (argc > 2 ? argv[2] : nullptr) : (argc > 1 ? argv[1] : nullptr);
  if (seconds && std::atof(seconds) > 0) measureSeconds = std::atof(seconds);
  if (saver) return RunGlimmerSaver(GetModuleHandleA(nullptr), CountingProc);

  std::printf("glimmerbox frame rates, %g s each, GL renderer: see the demo window\n",
              measureSeconds);
  std::fflush(stdout);
  if (!MeasureDemo(800, 600) ||
      !MeasureDemo(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
    return 1;
  std::fflush(stdout);
  return RunSaverInChild();
}

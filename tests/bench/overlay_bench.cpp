// What glimmerbox.scr's frame-rate overlay costs a frame (prints figures; not a test):
//   overlay_bench [FRAMES]   runs this program again with "/s" as the full-screen saver (the very
//                            code of glimmerbox.scr) and, after 30 frames of warming up, times
//                            FRAMES frames of each of three kinds in turn (default 200): the
//                            scene alone, the scene with the overlay, and the overlay waited for
//                            apart, each waited for with glFinish (GL returns before its work is
//                            done otherwise); then the run's tick figures from the framework
// The overlay is one of the bench's own, so the user's "Show frame rate" does not matter (with it
// on, the scene's time holds the saver's own overlay too: said in the output).
#include <windows.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>

#include "frame_overlay.h"
#include "glimmer_saver.h"
#include "morvane.h"
#include "run_self_as_saver.h"
#include "saver_window.h"
#include "settings_store.h"

namespace {

constexpr int WarmFrames = 30;
int timedFrames = 200;  // of each kind
int frames;
FrameOverlay benchOverlay;
HWND timedWindow;
double makeSeconds;

// Frames of three kinds in turn, so that the machine's load drifts alike over each: the scene
// alone; the scene and the overlay, waited for together (what the saver's frame costs); and the
// scene, waited for, then the overlay waited for on its own (its own flush of GL's work, so an
// upper bound of its share).
// Medians rather than means: the machine's other work lands on a few frames, not on the overlay.
enum FrameKind { SceneAlone, SceneAndOverlay, OverlayApart, FrameKinds };
std::vector<double> kindMs[FrameKinds];
std::vector<double> apartOverlayMs;
// Each frame with the overlay less the frame alone just before it: the machine's load changes
// little from one frame to the next, so the pairs show the overlay's share best.
std::vector<double> pairedMs;

// Asks the saver window to go once the figures are out: destroyed directly, since a close could
// wait for a password that the user's settings ask for.
constexpr UINT BenchDone = WM_APP + 0x200;

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void Report(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  const double alone = Median(kindMs[SceneAlone]);
  const double with = Median(kindMs[SceneAndOverlay]);
  const double apart = Median(apartOverlayMs);
  const double paired = Median(pairedMs);
  std::printf("overlay at %ldx%ld, %d frames of each kind%s\n", client.right, client.bottom,
              timedFrames,
              ReadSaverSettings().showFrameRate ? " (the saver's own overlay is on too)" : "");
  std::printf(
      "  medians: scene alone %.2f ms, scene and overlay %.2f ms: the overlay adds %.3f ms "
      "(%.2f%% of a frame)\n",
      alone, with, with - alone, alone > 0 ? 100.0 * (with - alone) / alone : 0.0);
  std::printf(
      "  median of each frame with it less the frame alone before it: %.3f ms (%.2f%% of a "
      "frame)\n",
      paired, alone > 0 ? 100.0 * paired / alone : 0.0);
  std::printf(
      "  the overlay waited for on its own: %.3f ms (%.2f%% of a frame; its own flush "
      "included)\n",
      apart, alone > 0 ? 100.0 * apart / alone : 0.0);
  std::printf("  texture, bitmap and font made once per GL context: %.2f ms\n",
              makeSeconds * 1000.0);
  ScrFrameFigures figures = {};
  figures.size = sizeof figures;
  if (ScrGetFrameFigures(window, &figures))
    std::printf("  ticks %u: mean interval %.2f ms, p99 %.2f ms, busy %.1f%% of the time\n",
                figures.ticks, figures.meanIntervalMs, figures.p99IntervalMs,
                figures.busyShare * 100.0);
  std::fflush(stdout);
}

void DrawOverlay(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  UpdateFrameOverlay(benchOverlay, window);
  DrawFrameOverlay(benchOverlay, client.right, client.bottom);
}

// The scene as the saver draws it and the overlay as the saver draws it, timed by kind.
void TimeFrame(HWND window) {
  const bool warming = frames < WarmFrames;
  const FrameKind kind = warming ? SceneAndOverlay : static_cast<FrameKind>(frames % FrameKinds);
  glFinish();
  const double t0 = Now();
  if (!DrawSaverFrame(window)) return;
  double t1 = t0;
  if (kind == OverlayApart) {
    glFinish();
    t1 = Now();
  }
  if (kind != SceneAlone) DrawOverlay(window);
  glFinish();
  const double t2 = Now();
  ShowSaverFrame(window);
  if (frames == 0) makeSeconds = t2 - t0;  // the scene's first frame and the overlay's making
  if (!warming) {
    kindMs[kind].push_back(((kind == OverlayApart ? t1 : t2) - t0) * 1000.0);
    if (kind == SceneAndOverlay && !kindMs[SceneAlone].empty())
      pairedMs.push_back(kindMs[SceneAndOverlay].back() - kindMs[SceneAlone].back());
    if (kind == OverlayApart) apartOverlayMs.push_back((t2 - t1) * 1000.0);
  }
  ++frames;
}

// Only the first full-screen window is timed; a preview or another monitor's window runs as the
// saver runs it.
LRESULT OnTick(HWND window, WPARAM wParam, LPARAM lParam) {
  if (GetParent(window) || (timedWindow && window != timedWindow))
    return GlimmerSaverProc(window, SCRM_TIMER, wParam, lParam);
  timedWindow = window;
  TimeFrame(window);
  if (frames < WarmFrames + FrameKinds * timedFrames) return DefaultTickAnswer;
  Report(window);
  ReleaseFrameOverlay(benchOverlay, wglGetCurrentContext() != nullptr);
  PostMessageA(window, BenchDone, 0, 0);
  return -1;
}

void OnBenchDone(HWND window) {
  DestroyWindow(window);
}

LRESULT CALLBACK TimingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BenchDone: OnBenchDone(window); return 0;
    case SCRM_TIMER: return OnTick(window, wParam, lParam);
  }
  return GlimmerSaverProc(window, message, wParam, lParam);
}

int RunSaverInChild() {
  char frames[16];
  std::snprintf(frames, sizeof frames, "%d", timedFrames);
  return RunSelfAsSaver(frames, 120000);
}

}  // namespace

int main(int argc, char** argv) {
  const bool saver = argc > 1 && std::strcmp(argv[1], "/s") == 0;
  const char* count = saver ? (argc > 2 ? argv[2] : nullptr) : (argc > 1 ? argv[1] : nullptr);
  if (count && std::atoi(count) > 0 && std::atoi(count) <= 100000) timedFrames = std::atoi(count);
  if (saver) return RunGlimmerSaver(GetModuleHandleA(nullptr), TimingProc);
  return RunSaverInChild();
}

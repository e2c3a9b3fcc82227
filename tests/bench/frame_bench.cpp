// Milliseconds per frame of the demo's scene at 800 by 600: the full scene (simulation and
// drawing), the same frame's geometry replayed from a display list compiled for it beforehand (what
// the rasterizer needs for these pixels), and a loop that only clears and swaps. Run from the
// folder that holds texture/.
#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "light_sim.h"
#include "scene_render.h"
#include "scene_window.h"
#include "textures.h"

static double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

static void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

static double Seconds(const std::function<void()>& frame) {
  const double start = Now();
  frame();
  SwapBuffers(deviceContext);
  glFinish();
  return Now() - start;
}

static double MillisecondsPerFrame(const std::function<void()>& frame, int frames) {
  double total = 0;
  for (int i = 0; i < frames; ++i) {
    PumpMessages();
    total += Seconds(frame);
  }
  return total * 1000.0 / frames;
}

// One frame's geometry at the lights' present positions, without moving anything.
static GLuint CompileFrameGeometry() {
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  SetView();
  DrawRoom();
  glBindTexture(GL_TEXTURE_2D, glowTexture);
  for (int i = 0; i < MaxLights && LightIsActive(i); ++i) {
    SetView();
    DrawLightAt(i, lights[i]);
  }
  glEndList();
  return list;
}

static double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
  const int rounds = 3;
  if (!OpenSceneWindow("Glimmerbox frame benchmark", 800, 600, 16, false)) return 1;
  RECT client;
  GetClientRect(mainWindow, &client);
  std::printf(
      "frame benchmark: window 800x600 (client %ldx%ld), GL renderer %s, %d frames x %d rounds, "
      "median ms/frame\n",
      client.right, client.bottom, reinterpret_cast<const char*>(glGetString(GL_RENDERER)), frames,
      rounds);

  // Each full frame is paired with its own geometry replayed from a list, so both draw the
  // same pixels however the swarm moves.
  const float counts[] = {15.0f, 50.0f};
  for (float count : counts) {
    lightCount = count;
    for (int i = 0; i < 10; ++i) Seconds([] { RenderFrame(); });
    std::vector<double> full, floor;
    for (int r = 0; r < rounds; ++r) {
      double fullSum = 0, floorSum = 0;
      for (int i = 0; i < frames; ++i) {
        PumpMessages();
        fullSum += Seconds([] { RenderFrame(); });
        const GLuint list = CompileFrameGeometry();
        floorSum += Seconds([list] {
          glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
          glCallList(list);
        });
        glDeleteLists(list, 1);
      }
      full.push_back(fullSum * 1000.0 / frames);
      floor.push_back(floorSum * 1000.0 / frames);
    }
    const double f = Median(full), g = Median(floor);
    std::printf(
        "  %2.0f lights: full scene %7.2f ms   its geometry from a display list %7.2f ms   "
        "ratio %.3f\n",
        count, f, g, f / g);
  }
  std::vector<double> bare;
  for (int r = 0; r < rounds; ++r)
    bare.push_back(
        MillisecondsPerFrame([] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }, frames));
  std::printf("  clear and swap only: %7.2f ms\n", Median(bare));
  CloseSceneWindow();
  return 0;
}

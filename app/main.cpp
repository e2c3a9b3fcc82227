#include <windows.h>

#include "light_sim.h"
#include "scene_render.h"
#include "scene_window.h"

// Runs until Escape, a window close or a failed frame. True when the user ended it with Escape.
static int RunMainLoop() {
  MSG msg = {};
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      continue;
    }
    if (windowActive && !RenderFrame()) return 0;
    // Escape is a normal way out: the program reports success, as it does for a closed window.
    if (keyDown[VK_ESCAPE]) return 0;
    SwapBuffers(deviceContext);
    ApplySteeringKeys(keyDown, camera, lightCount);
  }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  fullscreen = true;
  if (MessageBoxA(nullptr, "Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                  MB_YESNO | MB_ICONQUESTION) == IDNO)
    fullscreen = false;

  if (!OpenSceneWindow("Glimmerbox", 800, 600, 16, fullscreen)) return 0;
  const int exitCode = RunMainLoop();
  CloseSceneWindow();
  return exitCode;
}

#include <windows.h>

#include "scene_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  fullscreen = true;
  if (MessageBoxA(nullptr, "Would You Like To Run In Fullscreen Mode?", "Start FullScreen?",
                  MB_YESNO | MB_ICONQUESTION) == IDNO)
    fullscreen = false;

  if (!OpenSceneWindow("Glimmerbox", 800, 600, 16, fullscreen)) return 0;
  const int exitCode = RunSceneLoop();
  CloseSceneWindow();
  return exitCode;
}

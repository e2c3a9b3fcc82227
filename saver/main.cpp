// glimmerbox.scr: the Glimmerbox light-ball scene as a Windows screen saver.
#include <windows.h>

#include "glimmer_saver.h"
#include "saver_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return RunGlimmerSaver(instance, GlimmerSaverProc);
}

// carousel.scr: the user's savers, each in its own process, on every monitor in rotation.
#include <windows.h>

#include "carousel_window.h"
#include "morvane.h"
#include "settings_page.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // A window per monitor: each hosts a saver of its own.
  ScrSetMonitorPolicy(SCRMONITORS_EACH);
  carousel::RegisterPageControls();
  return ScrMain(instance, carousel::CarouselProc, carousel::CarouselPageProc, nullptr, 0);
}

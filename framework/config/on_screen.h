#pragma once
// Windows the framework places itself (the configuration sheet, the About boxes) open where their
// owner sits, which may leave them partly off the screen.
#include <windows.h>

namespace morvane {

// Moves the window, keeping its size, as little as needed to lie inside the work area of the
// monitor it is on (the nearest one when it is on none). A window larger than the work area keeps
// its top-left corner, and so its caption, inside.
void KeepInsideWorkArea(HWND window);

}  // namespace morvane

#pragma once
// The saver windows every variant creates, described once: the full-screen window and the
// preview inside a given window, as CreateWindowExA, a creation hook or a host receives them.
#include <windows.h>

#include "displays/display_layout.h"

namespace morvane {

extern const char plainSaverClass[];  // "KoScreenSaverClass", ScrMain
extern const char dummySaverClass[];  // "DummyScreenSaverClass", ScrMainHooks and ScrMainHost

struct SaverWindowRequest {
  int mode;               // a WindowMode
  CREATESTRUCTA create;   // lpCreateParams: a new SaverCreateParams (null when memory ran out)
  unsigned paramsSerial;  // identifies that record for DiscardSaverWindowRequest
};

// The topmost popup over area, a monitor or the whole desktop (with debugMode an overlapped window
// of a sixth of its size at its origin).
SaverWindowRequest DescribeSaverWindow(const char* className, const ScreenBox& area);
// A visible child filling parent's client area; mode 1 inside a monitor control, else 2.
SaverWindowRequest DescribePreviewWindow(const char* className, HWND parent, bool inMonitor);

HWND CreateDescribedWindow(const CREATESTRUCTA& create);
// What an executor returns for the window it was given: the window when it is one, else null.
// Frees the creation record when no window took it, records the requested mode for the window and
// sets the window up when its WM_CREATE did not reach DefSaverProc.
HWND FinishSaverWindow(const SaverWindowRequest& request, HWND candidate);

}  // namespace morvane

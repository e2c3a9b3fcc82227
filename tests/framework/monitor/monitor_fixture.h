#pragma once
// Monitor pages for in-process tests: modeless dialogs from monitor_dialogs.rc, a bounded message
// pump, screen captures and real mouse input.
#include <windows.h>

#include <functional>
#include <vector>

enum {
  CornersPage = 7001,   // MS_CORNERS with top-left and bottom-right Never (0x222)
  PreviewPage = 7002,   // MS_PREVIEW
  NothingPage = 7003,   // MS_NOTHING with the same corner bits as CornersPage
  BothBitsPage = 7004,  // MS_CORNERS with both top-left bits set (0x32)
  MonitorId = 101,
  StaticId = 102
};

// WM_COMMAND the page received from its controls, in order.
struct PageCommand {
  WPARAM wParam;
  LPARAM lParam;
};
extern std::vector<PageCommand> pageCommands;
// The colour the pages paint their background with.
extern const COLORREF pageColour;

// A visible modeless page; clears pageCommands.
HWND OpenPage(int id);
// Dispatches this thread's messages until done() or timeoutMs; done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Dispatches what is pending for a short settle (paints included).
void PumpPending();

// Pixels of the screen as 0x00RRGGBB, row by row.
struct Capture {
  int width = 0, height = 0;
  std::vector<unsigned> pixels;
  unsigned At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
Capture CaptureScreen(POINT origin, SIZE size);
// A bitmap resource of this module converted to 0x00RRGGBB.
Capture LoadBitmapPixels(int id);

// A left click at a screen point through the system's input queue.
void ClickAt(POINT screen);

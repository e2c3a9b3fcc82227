// The framework's black window over a monitor that no saver window covers. It never takes the
// focus; what input it gets ends the saver as the input on the saver window would, through the
// run's first saver window, which also asks for the password.
#include "displays/display_run.h"

#include "core/library.h"
#include "core/trace.h"
#include "window/saver_proc.h"
#include "window/saver_state.h"

namespace morvane {

namespace {

const char coverClass[] = "MorvaneCoverWindowClass";

void OnCoverMouseMove() {
  HWND lead = LeadSaverWindow();
  if (!lead || saverInput.dialogActive || !CursorMovedPastThreshold()) return;
  Trace("Cover window: mouse moved beyond threshold, sending Close");
  PostClose(lead);
}

// Clicks and keys take the way they would have taken on the saver window: the right button or
// a configuration key may open the active configuration there.
void OnCoverInput(UINT message, WPARAM wParam) {
  HWND lead = LeadSaverWindow();
  if (lead) PostMessageA(lead, message, wParam, 0);
}

void OnCoverClose() {
  HWND lead = LeadSaverWindow();
  if (lead) PostClose(lead);
}

LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR: SetCursor(nullptr); return TRUE;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_MOUSEMOVE: OnCoverMouseMove(); return 0;
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: OnCoverInput(message, wParam); return 0;
    case WM_CLOSE: OnCoverClose(); return 0;
    case WM_DESTROY: LeaveDisplayRun(window); break;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterCoverClass() {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = CoverWindowProc;
  windowClass.hInstance = libraryState.module;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = coverClass;
  return RegisterClassExA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND MakeCoverWindow(const ScreenBox& area) {
  if (!RegisterCoverClass()) {
    Trace("Cover window: its class could not be registered");
    return nullptr;
  }
  // Shown by placing it: shown on creation it would take the activation from the saver window.
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, coverClass, "", WS_POPUP,
                                area.left, area.top, area.right - area.left, area.bottom - area.top,
                                nullptr, nullptr, libraryState.module, nullptr);
  if (!window) {
    Trace("Cover window: could not be created");
    return nullptr;
  }
  PlaceRunWindow(window, area);
  return window;
}

}  // namespace morvane

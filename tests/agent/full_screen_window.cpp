// A program in front with a window over the whole primary monitor, as a game or a video player
// has: the hot-corner agent must leave the corners idle while it is there. It ends when closed,
// or by itself after two minutes.
#include <windows.h>

namespace {

enum { GiveUpTimer = 1, GiveUpMs = 120000 };

void OnTimer() {
  PostQuitMessage(1);
}

void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  EndPaint(window, &paint);
}

LRESULT CALLBACK FullScreenProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: OnTimer(); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = FullScreenProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "CornersFullScreen";
  if (!RegisterClassExA(&windowClass)) return 1;
  HWND window = CreateWindowExA(0, "CornersFullScreen", "Full-screen program",
                                WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  SetForegroundWindow(window);
  SetTimer(window, GiveUpTimer, GiveUpMs, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

/* The yardstick for a saver's start: the cheapest full-screen window a program can show, in C with
   nothing but the system's libraries. It logs "winmain" on entry and "painted" at its first
   WM_PAINT (start_log.h) and ends with 2 on a key, as a saver does. */
#include <windows.h>

#include "start_log.h"

static int painted;

static void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  FillRect(dc, &paint.rcPaint, (HBRUSH)GetStockObject(BLACK_BRUSH));
  EndPaint(window, &paint);
  if (!painted) LogStartEvent("painted");
  painted = 1;
}

static LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: OnPaint(window); return 0;
    case WM_KEYDOWN: PostQuitMessage(2); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  WNDCLASSA windowClass = {0};
  HWND window;
  MSG message;
  (void)previous;
  (void)commandLine;
  (void)show;
  LogStartEvent("winmain");
  windowClass.lpfnWndProc = BareProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "BareFullScreenWindow";
  if (!RegisterClassA(&windowClass)) return 1;
  window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Bare window",
                           WS_POPUP | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                           GetSystemMetrics(SM_CYSCREEN), NULL, NULL, instance, NULL);
  if (!window) return 1;
  while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
  return (int)message.wParam;
}

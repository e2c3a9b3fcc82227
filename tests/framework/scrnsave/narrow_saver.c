/* A saver written the SDK library's way for one screen: in WM_CREATE it shrinks its window to the
   primary monitor (SM_CXSCREEN by SM_CYSCREEN) and posts itself WM_APP + 1 and WM_APP + 3, numbers
   the framework uses for messages of its own; it starts drawing once both came back to it. */
#include <windows.h>
#include <scrnsave.h>

#include "test_log.h"

#define DRAW_TIMER 1
#define MY_START   (WM_APP + 1)
#define MY_STEP    (WM_APP + 3)

static int frames;

static void OnCreate(HWND window) {
  if (!fChildPreview) {
    SetWindowPos(window, NULL, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  PostMessage(window, MY_START, 11, 12);
}

static void OnOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TestLog("narrow own WM_APP+%u w=%d l=%d", message - WM_APP, (int)wParam, (int)lParam);
  if (message == MY_START) PostMessage(window, MY_STEP, 31, 32);
  if (message == MY_STEP) SetTimer(window, DRAW_TIMER, 40, NULL);
}

static void OnTimer(HWND window) {
  RECT area;
  HDC target = GetDC(window);
  HBRUSH brush = CreateSolidBrush(frames++ % 2 ? RGB(255, 0, 255) : RGB(255, 255, 0));
  GetClientRect(window, &area);
  FillRect(target, &area, brush);
  DeleteObject(brush);
  ReleaseDC(window, target);
  GetWindowRect(window, &area);
  TestLog("narrow frame %d x=%d y=%d w=%d h=%d", frames, area.left, area.top,
          area.right - area.left, area.bottom - area.top);
}

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case MY_START:
    case MY_STEP: OnOwnMessage(window, message, wParam, lParam); return 0;
    case WM_TIMER: OnTimer(window); return 0;
    case WM_DESTROY: KillTimer(window, DRAW_TIMER); break;
    default: break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)dialog;
  (void)message;
  (void)wParam;
  (void)lParam;
  return FALSE;
}

BOOL WINAPI RegisterDialogClasses(HANDLE instance) {
  (void)instance;
  return TRUE;
}

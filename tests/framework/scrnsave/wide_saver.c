/* A sloppy saver written the SDK library's way, in C for the UNICODE library, with the procedures'
   names of headers other than MinGW's: ScreenSaverProc (not ScreenSaverProcW) and
   ScreenSaverConfigureDialogW. It draws from WM_PAINT only, asking for the next paint each time,
   has no settings dialog (no 2003) and answers WM_DESTROY itself, without DefScreenSaverProc. */
#define UNICODE
#define _UNICODE
#include <windows.h>
#include <scrnsave.h>

#include "test_log.h"

#undef ScreenSaverProc
LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL WINAPI ScreenSaverConfigureDialogW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

static int paints;

static void OnCreate(HWND window) {
  RECT area;
  char name[TITLEBARNAMELEN];
  GetWindowRect(window, &area);
  WideCharToMultiByte(CP_ACP, 0, szName, -1, name, sizeof name, NULL, NULL);
  TestLog("wide create x=%d y=%d w=%d h=%d child=%d main=%d unicode=%d name=%s", area.left,
          area.top, area.right - area.left, area.bottom - area.top, fChildPreview,
          hMainWindow == window, IsWindowUnicode(window), name);
  if (!fChildPreview) TestLogCpu();
}

static void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  RECT area;
  HDC target = BeginPaint(window, &paint);
  HBRUSH brush = CreateSolidBrush(RGB(200, paints * 40 % 256, 60));
  GetClientRect(window, &area);
  FillRect(target, &area, brush);
  DeleteObject(brush);
  EndPaint(window, &paint);
  TestLog("wide paint %d", ++paints);
  Sleep(20);
  InvalidateRect(window, NULL, FALSE);
}

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_DESTROY: TestLog("wide destroy"); return 0;
    default: break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

BOOL WINAPI ScreenSaverConfigureDialogW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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

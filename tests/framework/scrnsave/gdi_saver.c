/* A saver written the SDK library's way, in C for the ANSI library: it draws with GDI on a timer
   of its own, has a settings dialog (2003) that ends with an unusual code, a RegisterDialogClasses
   that answers FALSE and a password change of its own. It logs what it sees (test_log.h). */
#include <windows.h>
#include <scrnsave.h>

#include "test_log.h"

#define DRAW_TIMER 7 /* the saver's own id */
#define DRAW_MS    40

static int ticks;

static void OnCreate(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  TestLog("gdi create x=%d y=%d w=%d h=%d child=%d main=%d app=%s appsize=%d name=%s", area.left,
          area.top, area.right - area.left, area.bottom - area.top, fChildPreview,
          hMainWindow == window, szAppName, (int)sizeof szAppName, szName);
  SetTimer(window, DRAW_TIMER, DRAW_MS, NULL);
  if (!fChildPreview) TestLogCpu();
}

static void OnTimer(HWND window, WPARAM id) {
  RECT area;
  HDC target = GetDC(window);
  HBRUSH brush = CreateSolidBrush(RGB(ticks * 40 % 256, 90, 200));
  GetClientRect(window, &area);
  FillRect(target, &area, brush);
  DeleteObject(brush);
  ReleaseDC(window, target);
  TestLog("gdi timer %d id=%d", ++ticks, (int)id);
}

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); break;
    case WM_ERASEBKGND: TestLog("gdi erase"); break;
    case WM_TIMER: OnTimer(window, wParam); return 0;
    case WM_DESTROY:
      KillTimer(window, DRAW_TIMER);
      TestLog("gdi destroy");
      break;
    default: break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  switch (message) {
    case WM_INITDIALOG: TestLog("gdi dialog"); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 7);
      return TRUE;
    default: return FALSE;
  }
}

BOOL WINAPI RegisterDialogClasses(HANDLE instance) {
  (void)instance;
  TestLog("gdi register");
  return FALSE;
}

void WINAPI ScreenSaverChangePassword(HWND parent) {
  TestLog("gdi change password parent=%d", parent != NULL);
}

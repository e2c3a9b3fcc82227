/* A saver written for the SDK's screen-saver library (scrnsave.h), as found in the wild: its own
   timer, GDI, no dialog. Only its link line names Morvane's library. */
#include <windows.h>
#include <scrnsave.h>

#define STEP_TIMER 3

static int step;

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: SetTimer(window, STEP_TIMER, 50, NULL); break;
    case WM_TIMER: {
      RECT area;
      HDC target = GetDC(window);
      HBRUSH brush = CreateSolidBrush(RGB(step++ * 16 % 256, 40, 120));
      GetClientRect(window, &area);
      FillRect(target, &area, brush);
      DeleteObject(brush);
      ReleaseDC(window, target);
      return 0;
    }
    case WM_DESTROY: KillTimer(window, STEP_TIMER); break;
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

/* A saver written the way many outside savers are: its own WinMain, no screen-saver library, a
   preview in the window named by "/p N" (decimal) sized to it, drawn with GDI on a timer of its
   own. Built with CRASH_AFTER_MS it crashes that long after its preview starts. With
   MORVANE_OWN_SAVER_BOX set it shows a message box of its own at the start, as a saver that
   reports an error does: the box takes the activation from the window it runs in. With
   MORVANE_OWN_SAVER_END_MS set to N it ends by itself N ms after its start, with
   MORVANE_OWN_SAVER_HANG_MS it stops answering for good. It logs what it
   sees (test_log.h), the process id with every line, since several copies run at once. */
#include <windows.h>
#include <stdlib.h>

#include "test_log.h"

#define DRAW_TIMER 1
#define DRAW_MS    50
#define SHOW_BOX   (WM_APP + 1)

static int ticks;
static int endAfterMs;
static int hangAfterMs;

static void OnTimer(HWND window) {
  RECT area;
  HDC target = GetDC(window);
  HBRUSH brush = CreateSolidBrush(RGB(ticks * 30 % 256, 160, 60));
  GetClientRect(window, &area);
  FillRect(target, &area, brush);
  DeleteObject(brush);
  ReleaseDC(window, target);
  if (++ticks % 10 == 0) TestLog("own tick %d pid=%lu", ticks, GetCurrentProcessId());
  if (endAfterMs > 0 && ticks * DRAW_MS >= endAfterMs) {
    TestLog("own ends pid=%lu", GetCurrentProcessId());
    DestroyWindow(window);
    return;
  }
  if (hangAfterMs > 0 && ticks * DRAW_MS >= hangAfterMs) {
    TestLog("own hangs pid=%lu", GetCurrentProcessId());
    Sleep(INFINITE);
  }
#ifdef CRASH_AFTER_MS
  if (ticks * DRAW_MS >= CRASH_AFTER_MS) {
    TestLog("crash pid=%lu", GetCurrentProcessId());
    *(volatile int*)0 = 1;
  }
#endif
}

static LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: OnTimer(window); return 0;
    case SHOW_BOX:
      TestLog("own box pid=%lu", GetCurrentProcessId());
      MessageBoxA(NULL, "Something went wrong", "Own Saver", MB_OK);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

static int RunPreview(HINSTANCE instance, HWND parent) {
  WNDCLASSA windowClass = {0};
  RECT area;
  HWND window;
  MSG message;
  if (!IsWindow(parent)) return 1;
  windowClass.lpfnWndProc = PreviewProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "OwnSaverPreview";
  RegisterClassA(&windowClass);
  GetClientRect(parent, &area);
  window = CreateWindowExA(0, "OwnSaverPreview", "", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                           area.bottom, parent, NULL, instance, NULL);
  if (!window) return 1;
  GetWindowRect(window, &area);
  TestLog("own create pid=%lu parent=%lu x=%ld y=%ld w=%ld h=%ld", GetCurrentProcessId(),
          (unsigned long)(ULONG_PTR)parent, area.left, area.top, area.right - area.left,
          area.bottom - area.top);
  SetTimer(window, DRAW_TIMER, DRAW_MS, NULL);
  endAfterMs = TestNumber("MORVANE_OWN_SAVER_END_MS", 0);
  hangAfterMs = TestNumber("MORVANE_OWN_SAVER_HANG_MS", 0);
  if (GetEnvironmentVariableA("MORVANE_OWN_SAVER_BOX", NULL, 0))
    PostMessageA(window, SHOW_BOX, 0, 0);
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  TestLog("own end pid=%lu", GetCurrentProcessId());
  return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  const char* switchAt = commandLine;
  (void)previous;
  (void)show;
  while (*switchAt == ' ' || *switchAt == '/' || *switchAt == '-') ++switchAt;
  if (*switchAt == 'p' || *switchAt == 'P') {
    return RunPreview(instance, (HWND)(ULONG_PTR)strtoul(switchAt + 1, NULL, 10));
  }
  return 0;
}

/* Stands in for the companion preview program: a window of class "tavisk" with a child in which
   savers preview. It logs "tavisk child=0x... module=..." (the file it was started from) once its
   windows exist, and ends when its window is closed, when the file named by MORVANE_TAVISK_QUIT
   appears, or after 30 s. MORVANE_TAVISK picks a fault: "nochild" (no child window), "otherclass"
   (the window has another class), "slow" (the windows come after 3 s). */
#include <windows.h>

#include "test_log.h"

enum { PollTimer = 1, PollMs = 50, LifetimeMs = 30000 };

static DWORD started;

static int QuitRequested(void) {
  char path[MAX_PATH];
  if (GetTickCount() - started > LifetimeMs) return 1;
  if (!GetEnvironmentVariableA("MORVANE_TAVISK_QUIT", path, sizeof path)) return 0;
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (QuitRequested()) DestroyWindow(window);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

static void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSEXA windowClass;
  ZeroMemory(&windowClass, sizeof windowClass);
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
  windowClass.lpszClassName = name;
  RegisterClassExA(&windowClass);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  char fault[16] = "";
  const char* frameClass;
  HWND frame;
  HWND child = NULL;
  char module[MAX_PATH] = "";
  MSG message;
  (void)previous;
  (void)commandLine;
  (void)show;
  started = GetTickCount();
  GetEnvironmentVariableA("MORVANE_TAVISK", fault, sizeof fault);
  if (lstrcmpA(fault, "slow") == 0) Sleep(3000);
  frameClass = lstrcmpA(fault, "otherclass") == 0 ? "tavisk-other" : "tavisk";
  RegisterWindowClass(instance, frameClass, FrameProc);
  RegisterWindowClass(instance, "TaviskScreen", DefWindowProcA);
  frame = CreateWindowExA(0, frameClass, "Tavisk", WS_POPUP | WS_VISIBLE, 200, 150, 400, 300, NULL,
                          NULL, instance, NULL);
  if (lstrcmpA(fault, "nochild") != 0) {
    child = CreateWindowExA(0, "TaviskScreen", "", WS_CHILD | WS_VISIBLE, 40, 30, 320, 240, frame,
                            NULL, instance, NULL);
  }
  GetModuleFileNameA(NULL, module, sizeof module);
  TestLog("tavisk child=0x%x module=%s", (unsigned)(UINT_PTR)child, module);
  SetTimer(frame, PollTimer, PollMs, NULL);
  while (GetMessageA(&message, NULL, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  TestLog("tavisk ended");
  return 0;
}

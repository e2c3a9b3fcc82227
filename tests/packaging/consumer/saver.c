/* A saver in C: the framework's own window and procedure, ticked until a key ends it. */
#include <windows.h>

#include "morvane.h"

static HWND WINAPI CreateSaverWindow(int mode, CREATESTRUCTA* create) {
  (void)mode;
  return CreateWindowExA(create->dwExStyle, create->lpszClass, "sdk saver c", (DWORD)create->style,
                         create->x, create->y, create->cx, create->cy, create->hwndParent,
                         create->hMenu, create->hInstance, create->lpCreateParams);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command, int show) {
  (void)previous;
  (void)command;
  (void)show;
  return ScrMainHooks(instance, CreateSaverWindow, NULL, NULL, NULL);
}

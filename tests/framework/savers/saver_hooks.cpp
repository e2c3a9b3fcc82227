// A saver built on ScrMainHooks: its creation hook creates the windows and has them draw on every
// tick; its password hook answers MORVANE_TEST_HOOK_ANSWER (default 9: the framework's dialog).
#include "saver_support.h"

namespace {

HINSTANCE saverModule;

LRESULT CALLBACK TickingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SCRM_TIMER) return TickTestSaver(window, nullptr);
  LogSaverMessage(window, message, wParam, lParam);
  return DefSaverProc(window, message, wParam, lParam);
}

HWND WINAPI CreateHook(int mode, CREATESTRUCTA* create) {
  const SaverCreateParams* params = static_cast<const SaverCreateParams*>(create->lpCreateParams);
  TestLog("createhook mode=%d params=%d class=%s w=%d h=%d style=0x%08lx exstyle=0x%08lx", mode,
          params ? params->mode : -1, create->lpszClass, create->cx, create->cy,
          static_cast<unsigned long>(create->style), static_cast<unsigned long>(create->dwExStyle));
  HWND window = CreateWindowExA(create->dwExStyle, create->lpszClass, create->lpszName,
                                static_cast<DWORD>(create->style), create->x, create->y, create->cx,
                                create->cy, create->hwndParent, create->hMenu, create->hInstance,
                                create->lpCreateParams);
  // The timer starts after creation, so every tick already reaches the new procedure.
  if (window) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TickingProc));
  return window;
}

int WINAPI PasswordHook(HWND parent) {
  int answer = TestNumber("MORVANE_TEST_HOOK_ANSWER", 9);
  TestLog("passwordhook parent=0x%x answer=%d",
          static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parent)), answer);
  return answer;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  saverModule = instance;
  PrepareTestSaver();
  int result = ScrMainHooks(instance, CreateHook, nullptr, nullptr, PasswordHook);
  TestLog("run 1 result=%d", result);
  return result;
}

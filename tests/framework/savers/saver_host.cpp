// A saver built on ScrMainHost. Its host window logs every host message and answers those named in
// MORVANE_TEST_HOST (comma-separated: saverwindow, createwindow, systempreview, preview,
// changepassword), creating the windows itself so that they draw on every tick; with "junk" it
// answers creation requests with a number that is no window.
#include "saver_support.h"

#include <cstring>

namespace {

HINSTANCE saverModule;

const struct {
  UINT message;
  const char* name;
} hostMessages[] = {
    {SCRHOST_MONITORPREVIEW, "monitorpreview"},
    {SCRHOST_SYSTEMPREVIEW, "systempreview"},
    {SCRHOST_PREVIEW, "preview"},
    {SCRHOST_SAVERWINDOW, "saverwindow"},
    {SCRHOST_CREATEWINDOW, "createwindow"},
    {SCRHOST_CONFIGURE, "configure"},
    {SCRHOST_ABOUT, "about"},
    {SCRHOST_CHANGEPASSWORD, "changepassword"},
};

LRESULT CALLBACK TickingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == SCRM_TIMER) return TickTestSaver(window, nullptr);
  LogSaverMessage(window, message, wParam, lParam);
  return DefSaverProc(window, message, wParam, lParam);
}

LRESULT CreateForFramework(const CREATESTRUCTA* create) {
  if (TestListHas("MORVANE_TEST_HOST", "junk")) return 0x1234;
  HWND window = CreateWindowExA(create->dwExStyle, create->lpszClass, create->lpszName,
                                static_cast<DWORD>(create->style), create->x, create->y, create->cx,
                                create->cy, create->hwndParent, create->hMenu, create->hInstance,
                                create->lpCreateParams);
  if (window) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TickingProc));
  return reinterpret_cast<LRESULT>(window);
}

const char* HostMessageName(UINT message) {
  for (const auto& known : hostMessages) {
    if (known.message == message) return known.name;
  }
  return nullptr;
}

LRESULT CALLBACK HostProc(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
  const char* name = HostMessageName(message);
  if (!name) return DefHostProc(host, message, wParam, lParam);
  TestLog("host %s wparam=%d", name, static_cast<int>(wParam));
  if (!TestListHas("MORVANE_TEST_HOST", name)) return DefHostProc(host, message, wParam, lParam);
  if (message == SCRHOST_CHANGEPASSWORD) return 1;
  return CreateForFramework(reinterpret_cast<const CREATESTRUCTA*>(lParam));
}

HWND CreateHost() {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = saverModule;
  windowClass.lpszClassName = "TestSaverHost";
  RegisterClassExA(&windowClass);
  return CreateWindowExA(0, "TestSaverHost", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, saverModule,
                         nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  saverModule = instance;
  PrepareTestSaver();
  int result = ScrMainHost(instance, CreateHost());
  TestLog("run 1 result=%d", result);
  return result;
}

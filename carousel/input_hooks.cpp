#include "input_hooks.h"

#include "trace.h"

namespace carousel {

namespace {

struct InputWatchState {
  HWND target = nullptr;
  HHOOK keys = nullptr;
  HHOOK mouse = nullptr;
  bool paused = false;
};

InputWatchState watch;

// As the same input on the run's window: the framework decides (a key or click of its active
// configuration, or the end of the run with its password rules).
void Forward(UINT message, WPARAM wParam) {
  if (watch.target && !watch.paused) PostMessageA(watch.target, message, wParam, 0);
}

LRESULT CALLBACK OnKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
    Forward(WM_KEYDOWN, reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->vkCode);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK OnMouse(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_RBUTTONDOWN: Forward(static_cast<UINT>(message), 0); break;
      // No such message ends a framework saver: as a key that opens nothing.
      case WM_XBUTTONDOWN:
      case WM_MOUSEWHEEL:
      case WM_MOUSEHWHEEL: Forward(WM_KEYDOWN, 0); break;
      default: break;
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

}  // namespace

bool WatchInput(HWND window) {
  watch.target = window;
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (!watch.keys) watch.keys = SetWindowsHookExA(WH_KEYBOARD_LL, OnKey, module, 0);
  if (!watch.mouse) watch.mouse = SetWindowsHookExA(WH_MOUSE_LL, OnMouse, module, 0);
  if (watch.keys && watch.mouse) return true;
  Trace("input outside the run's windows is not watched (error %lu)", GetLastError());
  return false;
}

void StopWatchingInput() {
  if (watch.keys) UnhookWindowsHookEx(watch.keys);
  if (watch.mouse) UnhookWindowsHookEx(watch.mouse);
  watch = InputWatchState();
}

void PauseInputWatch(bool paused) {
  watch.paused = paused;
}

}  // namespace carousel

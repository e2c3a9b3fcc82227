// Every saver window covers its monitor in physical pixels: the process is per-monitor aware (v2)
// where the system knows it, else system aware. A manifest that declared awareness already wins.
#include "displays/dpi_awareness.h"

#include "core/trace.h"

namespace morvane {

namespace {

typedef BOOL(WINAPI* SetAwarenessContext)(HANDLE context);
typedef BOOL(WINAPI* SetAware)();

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, which older headers lack.
HANDLE const perMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));

}  // namespace

void DeclareDpiAwareness() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  auto setContext = reinterpret_cast<SetAwarenessContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  if (setContext) {
    if (setContext(perMonitorAwareV2)) {
      Trace("DPI: per-monitor aware (v2)");
    } else if (GetLastError() == ERROR_ACCESS_DENIED) {
      Trace("DPI: awareness already declared (manifest)");
    } else {
      Trace("DPI: per-monitor awareness refused; keeping the process's own");
    }
    return;
  }
  auto setAware = reinterpret_cast<SetAware>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
  if (setAware && setAware()) Trace("DPI: system aware");
}

}  // namespace morvane

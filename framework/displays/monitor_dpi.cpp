#include "displays/monitor_dpi.h"

#include <climits>

#include "core/system_library.h"

namespace morvane {

namespace {

// GetDpiForMonitor's MDT_EFFECTIVE_DPI, which older headers lack.
enum { EffectiveDpi = 0 };
typedef HRESULT(WINAPI* DpiForMonitor)(HMONITOR monitor, int kind, UINT* dpiX, UINT* dpiY);

int DpiOf(DpiForMonitor dpiForMonitor, const DesktopMonitor& monitor, int fallback) {
  POINT corner = {monitor.area.left, monitor.area.top};
  HMONITOR handle = MonitorFromPoint(corner, MONITOR_DEFAULTTONULL);
  UINT x = 0, y = 0;
  if (!handle || FAILED(dpiForMonitor(handle, EffectiveDpi, &x, &y)) || x == 0 || x > INT_MAX) {
    return fallback;
  }
  return static_cast<int>(x);
}

}  // namespace

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 96;
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

void MonitorDpis(const DesktopMonitor* monitors, int count, int* dpis) {
  if (!monitors || !dpis || count < 1) return;
  int screenDpi = ScreenDpi();
  // NOTE: shcore.dll is missing before Windows 8.1: looked up, so that the program starts there
  // all the same.
  auto dpiForMonitor = SystemFunction<DpiForMonitor>("shcore.dll", "GetDpiForMonitor");
  for (int i = 0; i < count; ++i) {
    dpis[i] = dpiForMonitor ? DpiOf(dpiForMonitor, monitors[i], screenDpi) : screenDpi;
  }
}

}  // namespace morvane

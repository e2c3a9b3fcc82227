#include "timer/display_refresh.h"

#include <cstdio>
#include <new>

#include "core/system_library.h"
#include "core/trace.h"
#include "timer/frame_figures.h"

namespace morvane {

namespace {

volatile LONG displayGeneration;

// The display settings' rate, in whole hertz (59.94 Hz reads 59).
uint32_t SettingsMillihertz(const char* device) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(device, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  return RefreshMillihertz(mode.dmDisplayFrequency);
}

typedef LONG(WINAPI* ConfigSizesProc)(UINT32, UINT32*, UINT32*);
typedef LONG(WINAPI* QueryConfigProc)(UINT32, UINT32*, DISPLAYCONFIG_PATH_INFO*, UINT32*,
                                      DISPLAYCONFIG_MODE_INFO*, DISPLAYCONFIG_TOPOLOGY_ID*);
typedef LONG(WINAPI* DeviceInfoProc)(DISPLAYCONFIG_DEVICE_INFO_HEADER*);

// Whether the path's source is the GDI device the monitor is on (\\.\DISPLAY1, say).
bool PathShowsDevice(DeviceInfoProc deviceInfo, const DISPLAYCONFIG_PATH_INFO& path,
                     const char* device) {
  DISPLAYCONFIG_SOURCE_DEVICE_NAME name = {};
  name.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME;
  name.header.size = sizeof name;
  name.header.adapterId = path.sourceInfo.adapterId;
  name.header.id = path.sourceInfo.id;
  if (deviceInfo(&name.header) != ERROR_SUCCESS) return false;
  char narrow[CCHDEVICENAME + 1] = {};
  WideCharToMultiByte(CP_ACP, 0, name.viewGdiDeviceName, -1, narrow, CCHDEVICENAME, nullptr,
                      nullptr);
  return lstrcmpiA(narrow, device) == 0;
}

// The exact rate of the active path showing the device: its target's refresh rate, a fraction.
// Windows 7 on; looked up at run time so that the framework still loads on Vista.
uint32_t ConfigMillihertz(const char* device) {
  auto sizes = SystemFunction<ConfigSizesProc>("user32.dll", "GetDisplayConfigBufferSizes");
  auto query = SystemFunction<QueryConfigProc>("user32.dll", "QueryDisplayConfig");
  auto deviceInfo = SystemFunction<DeviceInfoProc>("user32.dll", "DisplayConfigGetDeviceInfo");
  if (!sizes || !query || !deviceInfo) return 0;
  UINT32 pathCount = 0, modeCount = 0;
  if (sizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS) return 0;
  if (pathCount == 0 || pathCount > 64 || modeCount > 256) return 0;
  DISPLAYCONFIG_PATH_INFO* paths = new (std::nothrow) DISPLAYCONFIG_PATH_INFO[pathCount];
  DISPLAYCONFIG_MODE_INFO* modes = new (std::nothrow) DISPLAYCONFIG_MODE_INFO[modeCount + 1];
  uint32_t millihertz = 0;
  if (paths && modes &&
      query(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths, &modeCount, modes, nullptr) ==
          ERROR_SUCCESS) {
    for (UINT32 i = 0; i < pathCount && millihertz == 0; ++i) {
      if (!PathShowsDevice(deviceInfo, paths[i], device)) continue;
      const DISPLAYCONFIG_RATIONAL& rate = paths[i].targetInfo.refreshRate;
      millihertz = RationalMillihertz(rate.Numerator, rate.Denominator);
    }
  }
  delete[] paths;
  delete[] modes;
  return millihertz;
}

uint32_t SystemMillihertz(HMONITOR monitor) {
  MONITORINFOEXA info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return 0;
  uint32_t exact = ConfigMillihertz(info.szDevice);
  return exact ? exact : SettingsMillihertz(info.szDevice);
}

// The kernel-mode display interface's records, as documented for D3DKMTOpenAdapterFromHdc,
// D3DKMTWaitForVerticalBlankEvent and D3DKMTCloseAdapter (d3dkmthk.h, not in every toolchain).
struct OpenAdapterFromHdc {
  HDC dc;
  UINT adapter;
  LUID luid;
  UINT source;
};
struct WaitForVerticalBlank {
  UINT adapter;
  UINT device;
  UINT source;
};
struct CloseAdapter {
  UINT adapter;
};
typedef LONG(APIENTRY* OpenAdapterProc)(OpenAdapterFromHdc*);
typedef LONG(APIENTRY* WaitVerticalBlankProc)(const WaitForVerticalBlank*);
typedef LONG(APIENTRY* CloseAdapterProc)(const CloseAdapter*);

// gdi32 exports them from Windows Vista on; Wine 8 has the first only. Looked up at each use,
// which is rare: an opening per monitor, an alignment every few seconds.
struct VerticalBlankCalls {
  OpenAdapterProc open;
  WaitVerticalBlankProc wait;
  CloseAdapterProc close;
};

VerticalBlankCalls VerticalBlank() {
  VerticalBlankCalls calls = {
      SystemFunction<OpenAdapterProc>("gdi32.dll", "D3DKMTOpenAdapterFromHdc"),
      SystemFunction<WaitVerticalBlankProc>("gdi32.dll", "D3DKMTWaitForVerticalBlankEvent"),
      SystemFunction<CloseAdapterProc>("gdi32.dll", "D3DKMTCloseAdapter")};
  if (!calls.open || !calls.wait || !calls.close) calls = {};
  return calls;
}

// Opens the monitor's vertical-blank wait. A monitor without one (switched off, say) is tried
// again when the alignment schedule says; a system without the calls never again.
void OpenVerticalBlank(DisplayClock& clock, uint64_t nowUs) {
  clock.vblankTried = true;
  VerticalBlankCalls calls = VerticalBlank();
  clock.vblankAbsent = !calls.open;
  if (!calls.open) return;
  MONITORINFOEXA info = {};
  info.cbSize = sizeof info;
  HDC dc = GetMonitorInfoA(clock.monitor, &info)
               ? CreateDCA(nullptr, info.szDevice, nullptr, nullptr)
               : nullptr;
  OpenAdapterFromHdc open = {dc, 0, {}, 0};
  if (dc && calls.open(&open) == 0) {
    clock.adapter = open.adapter;
    clock.source = open.source;
  } else {
    clock.alignment.Failed(nowUs);
  }
  if (dc) DeleteDC(dc);
}

}  // namespace

const DisplayRefreshSteps platformDisplayRefreshSteps = {SystemMillihertz};
DisplayRefreshSteps displayRefreshSteps = platformDisplayRefreshSteps;

void NoteDisplayChange() {
  InterlockedIncrement(&displayGeneration);
}

void FollowWindowMonitor(DisplayClock& clock, HWND window, uint64_t nowUs) {
  HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  LONG generation = displayGeneration;
  if (clock.monitor == monitor && clock.generation == generation && clock.vblankTried) return;
  bool known = clock.monitor != nullptr;
  CloseDisplayClock(clock);
  clock.monitor = monitor;
  clock.generation = generation;
  uint32_t before = clock.pace.Millihertz();
  uint32_t millihertz = displayRefreshSteps.millihertz(monitor);
  if (millihertz == 0) millihertz = DisplayPace::DefaultMillihertz;
  clock.pace.SetRate(millihertz, nowUs);
  clock.alignment.Restart();
  OpenVerticalBlank(clock, nowUs);
  if (!known || millihertz != before) {
    char line[96];
    std::snprintf(line, sizeof line, "Thread: ticks at the display's %u.%03u Hz%s",
                  millihertz / 1000, millihertz % 1000,
                  clock.adapter ? ", aligned to its vertical blank" : "");
    Trace(line);
  }
}

void AlignToVerticalBlank(DisplayClock& clock, uint64_t nowUs) {
  if (clock.vblankAbsent || !clock.alignment.Due(nowUs)) return;
  // An adapter closed after a failed wait opens again when the schedule says to try again.
  if (!clock.adapter) OpenVerticalBlank(clock, nowUs);
  if (!clock.adapter) return;
  WaitForVerticalBlank wait = {clock.adapter, 0, clock.source};
  if (VerticalBlank().wait(&wait) != 0) {
    // A monitor switched off or gone: the rate alone paces until the display is back.
    CloseDisplayClock(clock);
    clock.alignment.Failed(nowUs);
    return;
  }
  uint64_t blank = MicrosecondsNow();
  clock.pace.AlignTo(blank);
  clock.alignment.Aligned(blank);
}

void ResumeDisplayClock(DisplayClock& clock) {
  clock.alignment.Restart();
}

void CloseDisplayClock(DisplayClock& clock) {
  // An adapter was only ever opened with all three calls there.
  if (clock.adapter) {
    CloseAdapter close = {clock.adapter};
    VerticalBlank().close(&close);
  }
  clock.adapter = 0;
}

}  // namespace morvane

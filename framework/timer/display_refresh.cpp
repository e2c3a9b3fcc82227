#include "timer/display_refresh.h"

#include <cstdio>

#include "core/system_library.h"
#include "core/trace.h"
#include "timer/frame_figures.h"

namespace morvane {

namespace {

volatile LONG displayGeneration;

// How often the grid is set to a vertical blank again: rarely, since each alignment holds the
// thread for up to one refresh, and the grid keeps the rate between alignments.
const uint64_t alignEveryUs = 2000000;

uint32_t SystemReportedHz(HMONITOR monitor) {
  MONITORINFOEXA info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return 0;
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  if (!EnumDisplaySettingsA(info.szDevice, ENUM_CURRENT_SETTINGS, &mode)) return 0;
  return (mode.dmFields & DM_DISPLAYFREQUENCY) || mode.dmDisplayFrequency ? mode.dmDisplayFrequency
                                                                          : 0;
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

void OpenVerticalBlank(DisplayClock& clock) {
  clock.vblankTried = true;
  VerticalBlankCalls calls = VerticalBlank();
  if (!calls.open) return;
  MONITORINFOEXA info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(clock.monitor, &info)) return;
  HDC dc = CreateDCA(nullptr, info.szDevice, nullptr, nullptr);
  if (!dc) return;
  OpenAdapterFromHdc open = {dc, 0, {}, 0};
  if (calls.open(&open) == 0) {
    clock.adapter = open.adapter;
    clock.source = open.source;
  }
  DeleteDC(dc);
}

}  // namespace

const DisplayRefreshSteps platformDisplayRefreshSteps = {SystemReportedHz};
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
  uint32_t millihertz = RefreshMillihertz(displayRefreshSteps.reportedHz(monitor));
  clock.pace.SetRate(millihertz, nowUs);
  OpenVerticalBlank(clock);
  if (!known || millihertz != before) {
    char line[96];
    std::snprintf(line, sizeof line, "Thread: ticks at the display's %u.%03u Hz%s",
                  millihertz / 1000, millihertz % 1000,
                  clock.adapter ? ", aligned to its vertical blank" : "");
    Trace(line);
  }
}

void AlignToVerticalBlank(DisplayClock& clock, uint64_t nowUs) {
  if (!clock.adapter) return;
  if (clock.alignedAtUs && nowUs - clock.alignedAtUs < alignEveryUs) return;
  WaitForVerticalBlank wait = {clock.adapter, 0, clock.source};
  if (VerticalBlank().wait(&wait) != 0) {
    // A monitor switched off or gone: the rate alone paces from now on.
    CloseDisplayClock(clock);
    return;
  }
  clock.alignedAtUs = MicrosecondsNow();
  clock.pace.AlignTo(clock.alignedAtUs);
}

void CloseDisplayClock(DisplayClock& clock) {
  // An adapter was only ever opened with all three calls there.
  if (clock.adapter) {
    CloseAdapter close = {clock.adapter};
    VerticalBlank().close(&close);
  }
  clock.adapter = 0;
  clock.alignedAtUs = 0;
}

}  // namespace morvane

#include "monitor/monitor_classes.h"

#include "core/library.h"
#include "monitor/monitor_window.h"
#include "core/trace.h"

#include <windows.h>

namespace morvane {

namespace {

const char monitorClassName[] = "MorvaneMonitorClass";
const char monitorWindowClassName[] = "MorvaneMonitorWindowClass";

bool RegisterOneClass(const char* name, UINT style, WNDPROC procedure) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = libraryState.module;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  windowClass.lpszClassName = name;
  return RegisterClassExA(&windowClass) != 0;
}

void ReportClassError(const char* trace, const char* text, const char* caption) {
  Trace(trace);
  DebugMessageBox(nullptr, text, caption);
}

}  // namespace

int RegisterMonitorClasses() {
  if (!RegisterOneClass(monitorClassName, CS_GLOBALCLASS, MonitorWindowProc)) {
    ReportClassError("Morvane: failed to register monitor class",
                     "Failed to register monitor class", "Morvane DLL");
    return FALSE;
  }
  if (!RegisterOneClass(monitorWindowClassName, CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW,
                        MonitorInnerWindowProc)) {
    ReportClassError("Morvane: Failed to register monitor window class",
                     "Failed to register monitor window class", "Morvane DLL");
    return FALSE;
  }
  Trace("Morvane: succesfully registered controls");
  return TRUE;
}

int UnregisterMonitorClasses() {
  bool windowClassGone = UnregisterClassA(monitorWindowClassName, libraryState.module) != 0;
  if (!windowClassGone) {
    ReportClassError("Morvane: failed to unregister monitor window class",
                     "Failed to unregister monitor window class", "Morvane");
  }
  bool controlClassGone = UnregisterClassA(monitorClassName, libraryState.module) != 0;
  if (!controlClassGone) {
    ReportClassError("Morvane: failed to unregister monitor class",
                     "Failed to unregister monitor class", "Morvane");
  }
  bool both = windowClassGone && controlClassGone;
  Trace(both ? "Morvane: successfully unregistered controls"
             : "Morvane: error unregistering controls...");
  return both;
}

}  // namespace morvane

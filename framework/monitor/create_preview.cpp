#include "core/library.h"
#include "monitor/monitor_style.h"
#include "morvane.h"
#include "run/saver_run.h"
#include "core/trace.h"

#include <cstring>

namespace morvane {

namespace {

const char monitorClass[] = "MorvaneMonitorClass";

bool IsMonitorControl(HWND window) {
  char className[49] = {};
  GetClassNameA(window, className, sizeof className);
  return std::strcmp(className, monitorClass) == 0;
}

// The inner monitor window of a preview-mode control; null (reported) for any other control.
HWND InnerWindowOf(HWND control) {
  if (MonitorModeOf(static_cast<uint32_t>(GetWindowLongPtrA(control, GWL_STYLE))) !=
      MonitorModePreview) {
    const char text[] =
        "CreatePreview: Cannot, because monitor has wrong style! Give it the MS_PREVIEW style.";
    Trace(text);
    DebugMessageBox(control, text, "Programming error");
    return nullptr;
  }
  HWND inner = GetWindow(control, GW_CHILD);
  if (!inner) {
    Trace("CreatePreview: Internal error. No monitor-window window could be found.");
    DebugMessageBox(control, "CreatePreview: No monitor-window window could be found.",
                    "Internal error");
  }
  return inner;
}

}  // namespace

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" HWND WINAPI CreatePreview(HWND window) {
  EnsureLibrary();
  if (!window) return nullptr;
  HWND parent = IsMonitorControl(window) ? InnerWindowOf(window) : window;
  if (!parent) return nullptr;
  // The executor belongs to a run: outside one there is no saver class to create a window of.
  if (!libraryState.saverRunning || !saverRun.executors.makePreviewWindow) {
    Trace("CreatePreview: no saver is running, so there is no preview to create.");
    return nullptr;
  }
  return saverRun.executors.makePreviewWindow(parent, true);
}

#include "window/saver_windows.h"

#include "core/trace.h"
#include "run/saver_run.h"
#include "settings/prefs.h"
#include "window/saver_proc.h"
#include "window/saver_state.h"

namespace morvane {

const char plainSaverClass[] = "KoScreenSaverClass";
const char dummySaverClass[] = "DummyScreenSaverClass";

namespace {

SaverWindowRequest NewRequest(int mode, const char* className, const char* windowName) {
  SaverWindowRequest request = {};
  request.mode = mode;
  request.create.lpCreateParams = NewSaverCreateParams(mode, &request.paramsSerial);
  request.create.hInstance = saverRun.instance;
  request.create.lpszClass = className;
  request.create.lpszName = windowName;
  return request;
}

}  // namespace

SaverWindowRequest DescribeSaverWindow(const char* className, const ScreenBox& area) {
  SaverWindowRequest request = NewRequest(WINDOWMODE_FULLSCREEN, className, "SaverWindow");
  CREATESTRUCTA& create = request.create;
  create.x = area.left;
  create.y = area.top;
  create.cx = area.right - area.left;
  create.cy = area.bottom - area.top;
  if (currentPrefs.debugMode) {
    create.style = static_cast<LONG>(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    create.cx /= 6;
    create.cy /= 6;
  } else {
    create.style = static_cast<LONG>(WS_POPUP | WS_VISIBLE);
    create.dwExStyle = WS_EX_TOPMOST;
  }
  return request;
}

SaverWindowRequest DescribePreviewWindow(const char* className, HWND parent, bool inMonitor) {
  int mode = inMonitor ? WINDOWMODE_MONITORPREVIEW : WINDOWMODE_SYSTEMPREVIEW;
  SaverWindowRequest request = NewRequest(mode, className, "SaverPreview");
  CREATESTRUCTA& create = request.create;
  // A child sits in its parent's client area: sized to the whole window, a preview inside a host
  // with a border or caption would reach beyond it.
  RECT area = {};
  GetClientRect(parent, &area);
  create.x = area.left;
  create.y = area.top;
  create.cx = area.right - area.left;
  create.cy = area.bottom - area.top;
  create.style = static_cast<LONG>(WS_CHILD | WS_VISIBLE);
  create.hwndParent = parent;
  return request;
}

HWND CreateDescribedWindow(const CREATESTRUCTA& create) {
  return CreateWindowExA(create.dwExStyle, create.lpszClass, create.lpszName,
                         static_cast<DWORD>(create.style), create.x, create.y, create.cx, create.cy,
                         create.hwndParent, create.hMenu, create.hInstance, create.lpCreateParams);
}

HWND FinishSaverWindow(const SaverWindowRequest& request, HWND candidate) {
  DiscardSaverCreateParams(request.paramsSerial);
  // A hook or host may answer with anything: only a window counts as one.
  if (!candidate || !IsWindow(candidate)) return nullptr;
  if (HasRecordedWindowMode(candidate)) {
    // The window the framework asked for has the mode it asked for, however it was made.
    RecordWindowMode(candidate, request.mode);
  } else if (GetWindowThreadProcessId(candidate, nullptr) != GetCurrentThreadId()) {
    // Its timer and its input belong to the thread that runs the saver, which never sees its
    // messages. No owner for the box: that window's thread may not be taking messages.
    const char text[] =
        "FinishSaverWindow: the saver window belongs to another thread and its WM_CREATE did not "
        "reach DefSaverProc, so it cannot be set up: no settings, no ticks, no closing on input!";
    Trace(text);
    DebugMessageBox(nullptr, text, "Programming error");
  } else {
    TraceWindow(candidate, "WM_CREATE did not reach DefSaverProc: setting the window up now");
    SetUpSaverWindow(candidate, request.mode);
  }
  return candidate;
}

}  // namespace morvane

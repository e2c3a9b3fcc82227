#include "window/saver_windows.h"

#include "settings/prefs.h"
#include "run/saver_run.h"
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

SaverWindowRequest DescribeSaverWindow(const char* className) {
  SaverWindowRequest request = NewRequest(WINDOWMODE_FULLSCREEN, className, "SaverWindow");
  CREATESTRUCTA& create = request.create;
  create.cx = GetSystemMetrics(SM_CXSCREEN);
  create.cy = GetSystemMetrics(SM_CYSCREEN);
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
  RECT frame = {};
  GetWindowRect(parent, &frame);
  create.cx = frame.right - frame.left;
  create.cy = frame.bottom - frame.top;
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
  return candidate && IsWindow(candidate) ? candidate : nullptr;
}

}  // namespace morvane

#include "core/library.h"
#include "run/saver_run.h"

namespace morvane {

SaverRun saverRun;

bool BeginSaverMain() {
  EnsureLibrary();
  if (libraryState.saverRunning) return false;
  saverRun = SaverRun{};
  return true;
}

void RegisterSaverClass(HINSTANCE instance, const char* className, WNDPROC procedure, int brush) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(brush));
  windowClass.lpszClassName = className;
  // A class left by an earlier run in this process would keep that run's procedure and brush.
  if (!RegisterClassExA(&windowClass) && GetLastError() == ERROR_CLASS_ALREADY_EXISTS &&
      UnregisterClassA(className, instance)) {
    RegisterClassExA(&windowClass);
  }
}

}  // namespace morvane

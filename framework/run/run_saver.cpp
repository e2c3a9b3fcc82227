#include "config/config_dialog.h"
#include "core/library.h"
#include "displays/display_run.h"
#include "displays/dpi_awareness.h"
#include "settings/prefs.h"
#include "run/never_corner.h"
#include "run/saver_run.h"
#include "timer/timer.h"

namespace morvane {

namespace {

// Until WM_QUIT: its code is the mode's result (2 from the saver windows). A failing GetMessageA
// ends the loop with 2.
int RunMessageLoop() {
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == 0 ? static_cast<int>(message.wParam) : 2;
}

int RunFullScreen() {
  if (PointerRestsInNeverCorner()) return 0;
  if (!saverRun.executors.makeSaverWindow || !StartDisplayRun(saverRun.executors.makeSaverWindow)) {
    return 2;
  }
  BOOL previous = FALSE;
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &previous, 0);
  int result = RunMessageLoop();
  SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &previous, 0);
  EndDisplayRun();
  return result;
}

int RunPreview(HWND parent) {
  HWND preview = saverRun.executors.makePreviewWindow
                     ? saverRun.executors.makePreviewWindow(parent, false)
                     : nullptr;
  if (!preview) return 2;
  int result = RunMessageLoop();
  // A saver that posted the quit message itself left its window ticking through the run's wait.
  if (IsWindow(preview)) ScrStopTimer(preview);
  return result;
}

int RunChangePassword(HWND parent) {
  return saverRun.executors.executeChangePassword ? saverRun.executors.executeChangePassword(parent)
                                                  : 2;
}

int RunRequest(const SaverRequest& request) {
  switch (request.action) {
    case SaverAction::FullScreen: return RunFullScreen();
    case SaverAction::Preview: return RunPreview(request.parent);
    case SaverAction::ChangePassword: return RunChangePassword(request.parent);
    case SaverAction::Configure: return DoConfigDialog(request.parent, 0);
    default: return 2;
  }
}

}  // namespace

int RunSaver(HINSTANCE instance, const SaverExecutors& executors) {
  libraryState.saverRunning = true;
  saverRun.executors = executors;
  saverRun.instance = instance;
  DeclareDpiAwareness();
  OpenThreadRegistry();
  if (!currentPrefs.noTimers) RaiseTimerResolution();
  int result = RunRequest(ResolveSaverCommand(ParseCommandLine(GetCommandLineA())));
  libraryState.saverRunning = false;
  // The timers first: a tick handled during the wait would set a closed library up again.
  AwaitTimerThreads(TimerThreadWaitLimit);
  CloseThreadRegistry();
  RestoreTimerResolution();
  if (!libraryState.loadedAsLibrary && libraryState.initialised) CloseLibrary();
  return result;
}

}  // namespace morvane

// ScrMainHooks, the variant whose windows use DefSaverProc and whose saver may take over window
// creation, the configuration sheet, the About box and the password change through hooks.
#include "config/config_dialog.h"
#include "password/passwords.h"
#include "run/saver_run.h"
#include "window/saver_windows.h"

namespace morvane {

namespace {

// A hook's answer that asks for the framework's own way.
enum { UseDefault = 9 };

HWND CreateThroughHook(const SaverWindowRequest& request) {
  if (!saverRun.createHook) return CreateDescribedWindow(request.create);
  CREATESTRUCTA create = request.create;
  return saverRun.createHook(request.mode, &create);
}

HWND MakeHookedPreviewWindow(HWND parent, bool inMonitor) {
  SaverWindowRequest request = DescribePreviewWindow(dummySaverClass, parent, inMonitor);
  return FinishSaverWindow(request, CreateThroughHook(request));
}

HWND MakeHookedSaverWindow(const ScreenBox& area) {
  SaverWindowRequest request = DescribeSaverWindow(dummySaverClass, area);
  return FinishSaverWindow(request, CreateThroughHook(request));
}

int ChangeHookedPassword(HWND parent) {
  int answer = saverRun.passwordHook ? saverRun.passwordHook(parent) : UseDefault;
  return answer == UseDefault ? DoChangePwDialog(parent) : answer;
}

// A sheet hook that runs the sheet itself may first add a page in the array's free second slot.
int RunHookedSheet(HWND hiddenDialog, LPPROPSHEETHEADERA header) {
  int answer = saverRun.sheetHook
                   ? saverRun.sheetHook(hiddenDialog, header, RequestedOwnerNotice(hiddenDialog))
                   : UseDefault;
  return answer == UseDefault ? RunPropertySheet(header) : answer;
}

int ShowHookedAbout(HWND owner) {
  int answer = saverRun.aboutHook ? saverRun.aboutHook(owner) : UseDefault;
  return answer == UseDefault ? OpenFrameworkAbout(owner) : answer;
}

}  // namespace

const SaverExecutors hookedExecutors = {MakeHookedPreviewWindow, MakeHookedSaverWindow,
                                        RunHookedSheet, ShowHookedAbout, ChangeHookedPassword};

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" int WINAPI ScrMainHooks(HINSTANCE instance, ScrCreateHook create, ScrSheetHook sheet,
                                   ScrAboutHook about, ScrPasswordHook password) {
  if (!BeginSaverMain()) return 2;
  saverRun.createHook = create;
  saverRun.sheetHook = sheet;
  saverRun.aboutHook = about;
  saverRun.passwordHook = password;
  RegisterSaverClass(instance, dummySaverClass, DefSaverProc, NULL_BRUSH);
  return RunSaver(instance, hookedExecutors);
}

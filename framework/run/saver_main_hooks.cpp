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

ScrCreateHook createHook;
ScrPasswordHook passwordHook;

HWND CreateThroughHook(const SaverWindowRequest& request) {
  if (!createHook) return CreateDescribedWindow(request.create);
  CREATESTRUCTA create = request.create;
  return createHook(request.mode, &create);
}

HWND MakeHookedPreviewWindow(HWND parent, bool inMonitor) {
  SaverWindowRequest request = DescribePreviewWindow(dummySaverClass, parent, inMonitor);
  return FinishSaverWindow(request, CreateThroughHook(request));
}

HWND MakeHookedSaverWindow() {
  SaverWindowRequest request = DescribeSaverWindow(dummySaverClass);
  return FinishSaverWindow(request, CreateThroughHook(request));
}

int ChangeHookedPassword(HWND parent) {
  int answer = passwordHook ? passwordHook(parent) : UseDefault;
  return answer == UseDefault ? DoChangePwDialog(parent) : answer;
}

// A sheet hook that runs the sheet itself may first add a page in the array's free second slot.
int RunHookedSheet(HWND hiddenDialog, LPPROPSHEETHEADERA header) {
  int answer = saverSheetHook
                   ? saverSheetHook(hiddenDialog, header, RequestedOwnerNotice(hiddenDialog))
                   : UseDefault;
  return answer == UseDefault ? RunPropertySheet(header) : answer;
}

int ShowHookedAbout(HWND owner) {
  int answer = saverAboutHook ? saverAboutHook(owner) : UseDefault;
  return answer == UseDefault ? OpenFrameworkAbout(owner) : answer;
}

}  // namespace

ScrSheetHook saverSheetHook;
ScrAboutHook saverAboutHook;

const SaverExecutors hookedExecutors = {MakeHookedPreviewWindow, MakeHookedSaverWindow,
                                        RunHookedSheet, ShowHookedAbout, ChangeHookedPassword};

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" int WINAPI ScrMainHooks(HINSTANCE instance, ScrCreateHook create, ScrSheetHook sheet,
                                   ScrAboutHook about, ScrPasswordHook password) {
  if (!BeginSaverMain()) return 2;
  hasOwnAbout = false;
  saverPageProc = nullptr;
  createHook = create;
  saverSheetHook = sheet;
  saverAboutHook = about;
  passwordHook = password;
  RegisterSaverClass(instance, dummySaverClass, DefSaverProc, NULL_BRUSH);
  return RunSaver(instance, hookedExecutors);
}

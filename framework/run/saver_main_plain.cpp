// ScrMain, the variant whose saver supplies its own window procedure.
#include "config/config_dialog.h"
#include "password/passwords.h"
#include "run/saver_run.h"
#include "window/saver_windows.h"

namespace morvane {

namespace {

// The saver's dialog 2004 replaces the framework's About box.
enum { SaverAboutDialog = 2004 };

HWND MakePlainPreviewWindow(HWND parent, bool inMonitor) {
  SaverWindowRequest request = DescribePreviewWindow(plainSaverClass, parent, inMonitor);
  return FinishSaverWindow(request, CreateDescribedWindow(request.create));
}

HWND MakePlainSaverWindow(const ScreenBox& area) {
  SaverWindowRequest request = DescribeSaverWindow(plainSaverClass, area);
  return FinishSaverWindow(request, CreateDescribedWindow(request.create));
}

int RunPlainSheet(HWND, LPPROPSHEETHEADERA header) {
  if (saverRun.pageProc) AddSaverPage(header);
  return RunPropertySheet(header);
}

int ShowPlainAbout(HWND owner) {
  return saverRun.hasOwnAbout ? OpenSaverAbout(owner) : OpenFrameworkAbout(owner);
}

}  // namespace

const SaverExecutors plainExecutors = {MakePlainPreviewWindow, MakePlainSaverWindow, RunPlainSheet,
                                       ShowPlainAbout, DoChangePwDialog};

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" int WINAPI ScrMain(HINSTANCE instance, WNDPROC windowProc, DLGPROC pageDialogProc,
                              ScrInitProc initProc, DWORD reserved) {
  if (!BeginSaverMain()) return 2;
  saverRun.hasOwnAbout =
      FindResourceA(instance, MAKEINTRESOURCEA(SaverAboutDialog), RT_DIALOG) != nullptr;
  saverRun.pageProc = pageDialogProc;
  saverRun.reserved = reserved;
  if (initProc) initProc(instance);
  RegisterSaverClass(instance, plainSaverClass, windowProc, NULL_BRUSH);
  return RunSaver(instance, plainExecutors);
}

// ScrMainHost, the variant whose windows use DefSaverProc and whose every request goes first to
// a host window as a SCRHOST_ message.
#include "config/config_dialog.h"
#include "core/library.h"
#include "password/passwords.h"
#include "run/saver_run.h"
#include "window/saver_windows.h"

namespace morvane {

namespace {

// The host messages DefHostProc answers with 0: SCRHOST_MONITORPREVIEW to two beyond the last.
enum { FirstHostMessage = SCRHOST_MONITORPREVIEW, LastHostMessage = SCRHOST_CHANGEPASSWORD + 2 };

LRESULT AskHost(UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(saverRun.hostWindow, message, wParam, lParam);
}

// Offers the creation to the host with each message in turn; the first non-zero answer is the
// window. When the host creates none, the framework does.
HWND CreateThroughHost(const SaverWindowRequest& request, const UINT* messages, int count) {
  CREATESTRUCTA create = request.create;
  for (int i = 0; i < count; ++i) {
    LRESULT answer = AskHost(messages[i], request.mode, reinterpret_cast<LPARAM>(&create));
    if (answer) return reinterpret_cast<HWND>(answer);
  }
  return CreateDescribedWindow(request.create);
}

HWND MakeHostedPreviewWindow(HWND parent, bool inMonitor) {
  SaverWindowRequest request = DescribePreviewWindow(dummySaverClass, parent, inMonitor);
  const UINT messages[] = {inMonitor ? UINT(SCRHOST_MONITORPREVIEW) : UINT(SCRHOST_SYSTEMPREVIEW),
                           SCRHOST_PREVIEW, SCRHOST_CREATEWINDOW};
  return FinishSaverWindow(request, CreateThroughHost(request, messages, 3));
}

HWND MakeHostedSaverWindow(const ScreenBox& area) {
  SaverWindowRequest request = DescribeSaverWindow(dummySaverClass, area);
  const UINT messages[] = {SCRHOST_SAVERWINDOW, SCRHOST_CREATEWINDOW};
  return FinishSaverWindow(request, CreateThroughHost(request, messages, 2));
}

int ChangeHostedPassword(HWND parent) {
  if (AskHost(SCRHOST_CHANGEPASSWORD, reinterpret_cast<WPARAM>(parent), 0)) return 1;
  return DoChangePwDialog(parent);
}

int RunHostedSheet(HWND hiddenDialog, LPPROPSHEETHEADERA header) {
  if (AskHost(SCRHOST_CONFIGURE, reinterpret_cast<WPARAM>(hiddenDialog),
              reinterpret_cast<LPARAM>(header))) {
    return 1;
  }
  return RunPropertySheet(header);
}

int ShowHostedAbout(HWND owner) {
  if (AskHost(SCRHOST_ABOUT, reinterpret_cast<WPARAM>(owner), 0)) return 1;
  return OpenFrameworkAbout(owner);
}

}  // namespace

const SaverExecutors hostedExecutors = {MakeHostedPreviewWindow, MakeHostedSaverWindow,
                                        RunHostedSheet, ShowHostedAbout, ChangeHostedPassword};

}  // namespace morvane
// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

extern "C" int WINAPI ScrMainHost(HINSTANCE instance, HWND host) {
  if (!BeginSaverMain()) return 2;
  saverRun.hostWindow = host;
  RegisterSaverClass(instance, dummySaverClass, DefSaverProc, GRAY_BRUSH);
  return RunSaver(instance, hostedExecutors);
}

extern "C" LRESULT WINAPI DefHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EnsureLibrary();
  if (message >= FirstHostMessage && message <= LastHostMessage) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

#include "scrnsave/scrnsave_run.h"

#include "config/config_dialog.h"
#include "core/trace.h"
#include "password/passwords.h"
#include "run/command_line.h"
#include "run/saver_run.h"
#include "settings/prefs.h"
#include "window/saver_windows.h"

namespace morvane {

ScrnsaveParts scrnsaveParts;
const char scrnsaveClass[] = "WindowsScreenSaverClass";
int changePasswordResult;

namespace {

// The SDK's configuration dialog, a modal dialog of the saver's module.
enum { ConfigureDialogTemplate = 2003 };

const char noOptionsText[] = "This screen saver has no options that you can set.";
const char noOptionsCaption[] = "Screen Saver";

HWND MakePreviewWindow(HWND parent, bool inMonitor) {
  SaverWindowRequest request = DescribePreviewWindow(scrnsaveClass, parent, inMonitor);
  return FinishSaverWindow(request, CreateDescribedWindow(request.create));
}

HWND MakeSaverWindow(const ScreenBox& area) {
  SaverWindowRequest request = DescribeSaverWindow(scrnsaveClass, area);
  return FinishSaverWindow(request, CreateDescribedWindow(request.create));
}

bool HasConfigureDialog() {
  return FindResourceA(saverRun.instance, MAKEINTRESOURCEA(ConfigureDialogTemplate), RT_DIALOG) !=
         nullptr;
}

INT_PTR RunConfigureDialog(HWND owner) {
  const ScrnsaveParts& parts = scrnsaveParts;
  return parts.wide ? DialogBoxParamW(saverRun.instance, MAKEINTRESOURCEW(ConfigureDialogTemplate),
                                      owner, parts.configureDialog, 0)
                    : DialogBoxParamA(saverRun.instance, MAKEINTRESOURCEA(ConfigureDialogTemplate),
                                      owner, parts.configureDialog, 0);
}

// "/c" shows the saver's own dialog, as the SDK's library does, in place of the framework's sheet:
// 1 when it ended with OK, 0 with anything else, -1 when it could not be shown. A saver without
// the dialog says so to the user rather than ending silently.
int RunSaverDialog(HWND hiddenDialog, LPPROPSHEETHEADERA) {
  if (!HasConfigureDialog()) {
    Trace("scrnsave: no dialog 2003, telling the user the saver has no options");
    MessageBoxA(hiddenDialog, noOptionsText, noOptionsCaption, MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  // The SDK's library gives up when this answers FALSE; the dialog may well run without the
  // classes, so it is shown anyway.
  if (scrnsaveParts.registerDialogClasses &&
      !scrnsaveParts.registerDialogClasses(saverRun.instance)) {
    Trace("scrnsave: RegisterDialogClasses answered FALSE; showing the dialog anyway");
  }
  INT_PTR code = RunConfigureDialog(hiddenDialog);
  if (code == -1) return -1;
  return code == IDOK ? 1 : 0;
}

int ChangePassword(HWND parent) {
  changePasswordResult = 1;
  if (scrnsaveParts.changePassword) scrnsaveParts.changePassword(parent);
  return changePasswordResult;
}

const SaverExecutors scrnsaveExecutors = {MakePreviewWindow, MakeSaverWindow, RunSaverDialog,
                                          OpenFrameworkAbout, ChangePassword};

// The class record both forms register: black, as savers that paint only part of their window
// expect the rest to be, with the saver's icon ID_APP.
template <typename WindowClass>
WindowClass ScrnsaveClassRecord(HINSTANCE instance) {
  WindowClass windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = ScrnsaveWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(100));  // ID_APP
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  return windowClass;
}

void RegisterScrnsaveClass(HINSTANCE instance, bool wide) {
  if (wide) {
    WNDCLASSEXW windowClass = ScrnsaveClassRecord<WNDCLASSEXW>(instance);
    windowClass.lpszClassName = L"WindowsScreenSaverClass";
    RegisterClassExW(&windowClass);
  } else {
    WNDCLASSEXA windowClass = ScrnsaveClassRecord<WNDCLASSEXA>(instance);
    windowClass.lpszClassName = scrnsaveClass;
    RegisterClassExA(&windowClass);
  }
}

// Savers of the SDK's library draw on their own timers into one window over the whole desktop.
void ChooseScrnsavePrefs() {
  ScrPrefs* prefs = ScrGetPrefs();
  if (prefs) {
    prefs->noTimers = 1;
    ScrSetPrefs(prefs);
  }
  ScrSetMonitorPolicy(SCRMONITORS_SPAN);
}

// Messages whose text DefWindowProc reads or writes in the window's character set.
bool CarriesText(UINT message) {
  switch (message) {
    case WM_NCCREATE:
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR:
    case WM_IME_CHAR: return true;
    default: return false;
  }
}

}  // namespace

int RunScrnsave(HINSTANCE instance, const ScrnsaveParts& parts) {
  ChooseScrnsavePrefs();
  if (!BeginSaverMain()) return 2;
  scrnsaveParts = parts;
  fChildPreview = ParseCommandLine(GetCommandLineA()).action == SaverAction::Preview;
  RegisterScrnsaveClass(instance, parts.wide);
  return RunSaver(instance, scrnsaveExecutors);
}

LRESULT ScrnsaveDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (scrnsaveParts.wide && CarriesText(message)) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return DefSaverProc(window, message, wParam, lParam);
}

void DefaultChangePassword(HWND parent) {
  changePasswordResult = DoChangePwDialog(parent);
}

}  // namespace morvane

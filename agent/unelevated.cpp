#include "unelevated.h"

#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlguid.h>

#include "agent_names.h"
#include "agent_state.h"
#include "core/system_library.h"
#include "trace.h"

namespace corners {

namespace {

constexpr char relaunchMarker[] = "Local\\MorvaneHotCornersUnelevating";

bool TokenElevated(HANDLE process) {
  HANDLE token;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  BOOL read = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return read && elevation.TokenIsElevated;
}

// Elevated and with a filtered twin (TokenElevationTypeFull): the user's normal rights exist in
// this session. Elevated without one (UAC off, the built-in Administrator) there are none to go to.
bool ElevatedWithNormalTwin() {
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  BOOL read = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size);
  CloseHandle(token);
  return read && type == TokenElevationTypeFull && TokenElevated(GetCurrentProcess());
}

// NOTE: Wine has no UAC. With a test log, MORVANE_TEST_ELEVATED=1 makes the agent take itself for
// elevated and the shell for not.
// Wine's shell starts programs from the caller's process, with its environment: the flag goes, so
// that the agent the shell starts is the user's.
bool PretendElevated() {
  char flag[2];
  bool pretend = agentRun.testLog[0] &&
                 GetEnvironmentVariableA("MORVANE_TEST_ELEVATED", flag, sizeof flag) == 1 &&
                 flag[0] == '1';
  SetEnvironmentVariableA("MORVANE_TEST_ELEVATED", nullptr);
  return pretend;
}

// With the shell elevated too (UAC off), nothing in the session has lower rights to filter.
// NOTE: under Wine there is no shell window, and the desktop window is explorer's, elevated as
// every process there is; on Windows the desktop window's process cannot be opened.
bool ShellElevated() {
  DWORD id = 0;
  HWND shell = GetShellWindow();
  if (!shell) shell = GetDesktopWindow();
  if (!shell || !GetWindowThreadProcessId(shell, &id)) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (!process) return false;
  bool elevated = TokenElevated(process);
  CloseHandle(process);
  return elevated;
}

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

// The desktop's folder view, through which the shell itself starts programs: the desktop window
// among the shell's windows, its browser, the active view, and the view's Shell.Application.
IShellDispatch2* DesktopShell() {
  IShellWindows* windows = nullptr;
  IDispatch* desktop = nullptr;
  IServiceProvider* services = nullptr;
  IShellBrowser* browser = nullptr;
  IShellView* view = nullptr;
  IDispatch* background = nullptr;
  IShellFolderViewDual* folderView = nullptr;
  IDispatch* application = nullptr;
  IShellDispatch2* shell = nullptr;
  VARIANT none;
  VariantInit(&none);
  long handle = 0;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                 IID_IShellWindows, reinterpret_cast<void**>(&windows))) &&
      windows->FindWindowSW(&none, &none, SWC_DESKTOP, &handle, SWFO_NEEDDISPATCH, &desktop) ==
          S_OK &&
      SUCCEEDED(
          desktop->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&services))) &&
      SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser,
                                       reinterpret_cast<void**>(&browser))) &&
      SUCCEEDED(browser->QueryActiveShellView(&view)) &&
      SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch,
                                    reinterpret_cast<void**>(&background))) &&
      SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual,
                                           reinterpret_cast<void**>(&folderView))) &&
      SUCCEEDED(folderView->get_Application(&application))) {
    application->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(&shell));
  }
  Release(application);
  Release(folderView);
  Release(background);
  Release(view);
  Release(browser);
  Release(services);
  Release(desktop);
  Release(windows);
  return shell;
}

bool StartThroughShell(const char* switches) {
  wchar_t program[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
  wchar_t arguments[commandCapacity];
  if (!length || length >= MAX_PATH ||
      !MultiByteToWideChar(CP_ACP, 0, switches, -1, arguments, commandCapacity)) {
    return false;
  }
  bool started = false;
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (IShellDispatch2* shell = DesktopShell()) {
    BSTR file = SysAllocString(program);
    VARIANT args, folder, verb, show;
    VariantInit(&args);
    VariantInit(&folder);
    VariantInit(&verb);
    VariantInit(&show);
    args.vt = VT_BSTR;
    args.bstrVal = SysAllocString(arguments);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    started =
        file && args.bstrVal && SUCCEEDED(shell->ShellExecute(file, args, folder, verb, show));
    VariantClear(&args);
    SysFreeString(file);
    shell->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return started;
}

// The desktop shell may still be starting (an agent run at logon) or busy: it is asked again
// for a few seconds before the agent gives up.
bool StartThroughShellPatiently(const char* switches) {
  bool started = StartThroughShell(switches);
  for (int waited = 0; !started && waited < 5000; waited += 250) {
    Sleep(250);
    started = StartThroughShell(switches);
  }
  return started;
}

// NOTE: under Wine the desktop shell's route runs the program from the caller's process and at
// times stalls for many seconds; an agent pretending elevation for a test starts itself as the
// shell would instead, so that the test shows the hand-over and the filter, not Wine's shell.
bool StartAsTestShell(const char* switches) {
  char program[MAX_PATH];
  char commandLine[MAX_PATH + commandCapacity + 4];
  DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (!length || length >= MAX_PATH || static_cast<DWORD>(lstrlenA(switches)) >= commandCapacity)
    return false;
  wsprintfA(commandLine, "\"%s\" %s", program, switches);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace

ElevationOutcome RunUnelevated(const char* switches) {
  bool pretend = PretendElevated();
  if (!pretend && !ElevatedWithNormalTwin()) return ElevationOutcome::RunHere;
  if (!pretend && ShellElevated()) {
    Trace("elevated, as the shell is");
    return ElevationOutcome::RunHere;
  }
  // An agent that the shell started elevated again must not start another: the marker lives
  // until the new agent's window is there, or a few seconds.
  if (HANDLE marker = OpenEventA(SYNCHRONIZE, FALSE, relaunchMarker)) {
    CloseHandle(marker);
    Trace("elevated even when the desktop shell starts it: not running");
    return ElevationOutcome::Refused;
  }
  HANDLE marker = CreateEventA(nullptr, TRUE, FALSE, relaunchMarker);
  bool started = pretend ? StartAsTestShell(switches) : StartThroughShellPatiently(switches);
  for (int waited = 0; started && waited < 5000 && !FindWindowA(agentClass, nullptr);
       waited += 50) {
    Sleep(50);
  }
  if (marker) CloseHandle(marker);
  if (started) {
    Trace("elevated: started again by the desktop shell, with the user's rights");
    return ElevationOutcome::StartedByShell;
  }
  Trace(
      "elevated, and the desktop shell could not start the agent with the user's rights: "
      "not running");
  return ElevationOutcome::Refused;
}

void AllowOwnMessages(HWND window) {
  typedef BOOL(WINAPI * FilterProc)(HWND, UINT, DWORD, void*);
  // NOTE: looked up: Windows Vista has only the process-wide filter, which would open every
  // window of the process.
  FilterProc filter =
      morvane::SystemFunction<FilterProc>("user32.dll", "ChangeWindowMessageFilterEx");
  if (!filter) return;
  const UINT messages[] = {WM_COPYDATA, rereadMessage, trayMessage, agentRun.taskbarCreated};
  char list[64] = "";
  int length = 0;
  for (UINT message : messages) {
    if (!message || !filter(window, message, MSGFLT_ALLOW, nullptr)) continue;
    length += wsprintfA(list + length, " 0x%X", message);
  }
  Trace("normal rights may send:%s", list);
}

}  // namespace corners

#include "tray_icon.h"

#include <shellapi.h>

#include "agent_names.h"
#include "agent_state.h"
#include "trace.h"

namespace corners {

namespace {

enum { IconId = 1 };

NOTIFYICONDATAA IconData() {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = agentRun.window;
  data.uID = IconId;
  return data;
}

}  // namespace

void ShowTrayIcon() {
  NOTIFYICONDATAA data = IconData();
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = trayMessage;
  data.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  lstrcpynA(data.szTip, agentTitle, sizeof data.szTip);
  agentRun.iconShown = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
  if (!agentRun.iconShown) Trace("no notification area: icon not shown");
}

void RemoveTrayIcon() {
  if (!agentRun.iconShown) return;
  NOTIFYICONDATAA data = IconData();
  Shell_NotifyIconA(NIM_DELETE, &data);
  agentRun.iconShown = false;
}

void ShowTrayMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  bool paused = agentRun.dwell.Paused(GetTickCount());
  AppendMenuA(menu, MF_STRING, MenuStartNow, "&Start screen saver now");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  if (paused) AppendMenuA(menu, MF_STRING, MenuResume, "&Resume hot corners");
  AppendMenuA(menu, MF_STRING, MenuPauseHour, "Pause hot corners for 1 &hour");
  AppendMenuA(menu, MF_STRING, MenuPauseUntilResumed, "&Pause hot corners until resumed");
  bool each = agentRun.cornerMode == morvane::CornerMode::Each;
  AppendMenuA(menu, MF_STRING | (each ? MF_CHECKED : MF_UNCHECKED), MenuEveryMonitor,
              "Hot corners on every &monitor");
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, MenuSettings, "Screen saver se&ttings");
  AppendMenuA(menu, MF_STRING, MenuQuit, "&Quit");
  POINT at;
  GetCursorPos(&at);
  // NOTE: the menu closes on a click elsewhere only when the owner is in front first.
  SetForegroundWindow(agentRun.window);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, agentRun.window, nullptr);
  if (agentRun.window) PostMessageA(agentRun.window, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void TellUser(const char* title, const char* text) {
  Trace("told the user: %s", title);
  if (agentRun.alone) {
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    return;
  }
  if (!agentRun.iconShown) {
    Trace("no notification area: the user was not told");
    return;
  }
  NOTIFYICONDATAA data = IconData();
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_WARNING;
  lstrcpynA(data.szInfoTitle, title, sizeof data.szInfoTitle);
  lstrcpynA(data.szInfo, text, sizeof data.szInfo);
  if (!Shell_NotifyIconA(NIM_MODIFY, &data)) Trace("balloon not shown");
}

}  // namespace corners

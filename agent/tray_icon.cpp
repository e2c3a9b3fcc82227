#include "tray_icon.h"

#include <shellapi.h>

#include "agent_names.h"
#include "agent_resources.h"
#include "agent_state.h"
#include "core/system_library.h"
#include "gamepad_watch.h"
#include "trace.h"

namespace corners {

namespace {

enum { IconId = 1 };
enum TrayState { StateActive = 0, StatePaused = 1 };
const int stateIconIds[2] = {IDI_CORNERS_ACTIVE, IDI_CORNERS_PAUSED};

typedef UINT(WINAPI* DpiForWindowProc)(HWND);
typedef int(WINAPI* MetricsForDpiProc)(int, UINT);
typedef HRESULT(WINAPI* ScaleDownProc)(HINSTANCE, PCWSTR, int, int, HICON*);

NOTIFYICONDATAA IconData() {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = agentRun.window;
  data.uID = IconId;
  return data;
}

// "16x16:1a2b3c4d": the icon's size and a hash of its colour pixels as the system holds them.
void DescribeIcon(HICON icon, char* out, int capacity) {
  lstrcpynA(out, "none", capacity);
  ICONINFO info;
  if (!icon || !GetIconInfo(icon, &info)) return;
  BITMAP bitmap = {};
  HBITMAP pixels = info.hbmColor ? info.hbmColor : info.hbmMask;
  GetObjectA(pixels, sizeof bitmap, &bitmap);
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  DWORD hash = 2166136261u;
  int count = bitmap.bmWidth * bitmap.bmHeight;
  if (count > 0 && count <= 256 * 256) {
    DWORD* bits = static_cast<DWORD*>(HeapAlloc(GetProcessHeap(), 0, count * sizeof(DWORD)));
    HDC screen = GetDC(nullptr);
    if (bits && GetDIBits(screen, pixels, 0, bitmap.bmHeight, bits, &format, DIB_RGB_COLORS)) {
      for (int i = 0; i < count; ++i) hash = (hash ^ bits[i]) * 16777619u;
    }
    ReleaseDC(nullptr, screen);
    if (bits) HeapFree(GetProcessHeap(), 0, bits);
  }
  wsprintfA(out, "%dx%d:%08lx", bitmap.bmWidth, bitmap.bmHeight, static_cast<unsigned long>(hash));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

// With a test log: what the shell is given, the icon read back from its handle.
BOOL WINAPI RecordedNotifyIcon(DWORD message, PNOTIFYICONDATAA data) {
  BOOL done = Shell_NotifyIconA(message, data);
  if (data->uFlags & NIF_ICON) {
    char icon[64];
    DescribeIcon(data->hIcon, icon, sizeof icon);
    const char* kind = message == NIM_ADD ? "add" : (message == NIM_MODIFY ? "modify" : "other");
    Trace("tray icon %s: icon=%s shown=%d tip=%s", kind, icon, done ? 1 : 0, data->szTip);
  }
  return done;
}

BOOL Notify(DWORD message, NOTIFYICONDATAA* data) {
  if (!agentRun.notifyIcon) {
    agentRun.notifyIcon = agentRun.testLog[0] ? RecordedNotifyIcon : Shell_NotifyIconA;
  }
  return agentRun.notifyIcon(message, data);
}

// The small icon's size at the DPI of the agent's window, which stays on the primary monitor,
// where the taskbar usually is. NOTE: GetDpiForWindow and GetSystemMetricsForDpi came with
// Windows 10 1607; before, GetSystemMetrics answers for the system's DPI.
int SmallIconSize() {
  auto dpiFor = morvane::SystemFunction<DpiForWindowProc>("user32.dll", "GetDpiForWindow");
  auto metricsFor =
      morvane::SystemFunction<MetricsForDpiProc>("user32.dll", "GetSystemMetricsForDpi");
  UINT dpi = dpiFor && agentRun.window ? dpiFor(agentRun.window) : 0;
  int size = dpi && metricsFor ? metricsFor(SM_CXSMICON, dpi) : 0;
  if (size <= 0) size = GetSystemMetrics(SM_CXSMICON);
  return size > 0 ? size : 16;
}

// The image drawn for that size, or the nearest larger one scaled down (not a smaller one
// scaled up). NOTE: LoadIconWithScaleDown is comctl32 6's, which the manifest asks for; without
// it LoadImage picks and scales by itself.
HICON LoadStateIcon(int id, int size) {
  auto scaleDown = morvane::SystemFunction<ScaleDownProc>("comctl32.dll", "LoadIconWithScaleDown");
  HICON icon = nullptr;
  if (scaleDown && FAILED(scaleDown(agentRun.instance, MAKEINTRESOURCEW(id), size, size, &icon))) {
    icon = nullptr;
  }
  if (icon) return icon;
  return static_cast<HICON>(
      LoadImageA(agentRun.instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void DestroyIcons() {
  for (HICON& icon : agentRun.trayIcons) {
    if (icon) DestroyIcon(icon);
    icon = nullptr;
  }
  agentRun.trayIconSize = 0;
}

// Whether the icons were loaded afresh.
bool LoadIconsForDpi() {
  int size = SmallIconSize();
  if (size == agentRun.trayIconSize && agentRun.trayIcons[StateActive]) return false;
  DestroyIcons();
  for (int state = StateActive; state <= StatePaused; ++state) {
    agentRun.trayIcons[state] = LoadStateIcon(stateIconIds[state], size);
  }
  agentRun.trayIconSize = size;
  return true;
}

// "Hot corners paused until 14:30" in the user's time format, with the day's name when the pause
// ends on another day.
void PausedUntilTip(uint32_t leftMs, char* tip, int capacity) {
  SYSTEMTIME now, end;
  FILETIME time;
  GetLocalTime(&now);
  SystemTimeToFileTime(&now, &time);
  ULARGE_INTEGER at;
  at.LowPart = time.dwLowDateTime;
  at.HighPart = time.dwHighDateTime;
  at.QuadPart += static_cast<ULONGLONG>(leftMs) * 10000u;  // 100 ns units
  time.dwLowDateTime = at.LowPart;
  time.dwHighDateTime = at.HighPart;
  FileTimeToSystemTime(&time, &end);
  char day[32] = "", clock[32] = "", text[128];
  bool today = end.wYear == now.wYear && end.wMonth == now.wMonth && end.wDay == now.wDay;
  if (!today) GetDateFormatA(LOCALE_USER_DEFAULT, 0, &end, "ddd ", day, sizeof day);
  GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &end, nullptr, clock, sizeof clock);
  wsprintfA(text, "Hot corners paused until %s%s", day, clock);
  lstrcpynA(tip, text, capacity);
}

// The icon data of the corners' state now; the pause's end is watched while one runs.
NOTIFYICONDATAA StateIconData() {
  uint32_t now = GetTickCount();
  bool paused = agentRun.dwell.Paused(now);
  uint32_t left = agentRun.dwell.PauseLeft(now);
  if (left && agentRun.window) SetTimer(agentRun.window, PauseEndTimer, left, nullptr);
  if (!left && agentRun.window) KillTimer(agentRun.window, PauseEndTimer);
  LoadIconsForDpi();
  NOTIFYICONDATAA data = IconData();
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = trayMessage;
  data.hIcon = agentRun.trayIcons[paused ? StatePaused : StateActive];
  if (left) {
    PausedUntilTip(left, data.szTip, sizeof data.szTip);
  } else {
    lstrcpynA(data.szTip, paused ? "Hot corners paused" : "Hot corners active", sizeof data.szTip);
  }
  return data;
}

}  // namespace

void ShowTrayIcon() {
  NOTIFYICONDATAA data = StateIconData();
  // NOTE: the shell also broadcasts TaskbarCreated when the DPI changes, with the icon still
  // there: adding it fails then, and changing it does what is meant.
  agentRun.iconShown = Notify(NIM_ADD, &data) || Notify(NIM_MODIFY, &data);
  if (!agentRun.iconShown) Trace("no notification area: icon not shown");
}

void UpdateTrayIcon() {
  if (!agentRun.iconShown) {
    ShowTrayIcon();
    return;
  }
  NOTIFYICONDATAA data = StateIconData();
  if (!Notify(NIM_MODIFY, &data)) Trace("icon not changed");
}

void RefreshTrayIconSize() {
  if (agentRun.iconShown && LoadIconsForDpi()) UpdateTrayIcon();
}

void RemoveTrayIcon() {
  if (agentRun.window) KillTimer(agentRun.window, PauseEndTimer);
  if (agentRun.iconShown) {
    NOTIFYICONDATAA data = IconData();
    Notify(NIM_DELETE, &data);
    agentRun.iconShown = false;
  }
  DestroyIcons();
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
  AppendMenuA(menu, MF_STRING | (GamepadsCount() ? MF_CHECKED : MF_UNCHECKED), MenuGamepads,
              "&Gamepads count as activity");
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
  if (!Notify(NIM_MODIFY, &data)) Trace("balloon not shown");
}

}  // namespace corners

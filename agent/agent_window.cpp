#include "agent_window.h"

#include "agent_names.h"
#include "agent_state.h"
#include "commands.h"
#include "corner_mode_setting.h"
#include "corner_settings.h"
#include "desktop.h"
#include "gamepad_watch.h"
#include "hold_off.h"
#include "saver_start.h"
#include "session_notice.h"
#include "tray_icon.h"
#include "trace.h"

namespace corners {

namespace {

// The pointer is sampled seldom (each sample wakes the agent), and often only while its rest in a
// corner is being measured: a corner is seen at most a quarter second after the pointer came, the
// saver starts the dwell after that, and leaving is seen within a quarter second too.
enum { PointerTimer = 1, AwayPeriodMs = 250, InCornerPeriodMs = 50 };

void SamplePointerEvery(UINT periodMs) {
  if (agentRun.pointerPeriodMs == periodMs) return;
  agentRun.pointerPeriodMs = periodMs;
  SetTimer(agentRun.window, PointerTimer, periodMs, nullptr);
}

void OnPointerTimer() {
  POINT at;
  if (!GetCursorPos(&at)) return;
  PointerSample sample = {GetTickCount(), CornerAt(agentRun.zones, {at.x, at.y}), false};
  // Only a pointer in a corner costs the look at the foreground window.
  if (sample.corner != NoCorner) sample.fullScreen = FullScreenInFront();
  if (sample.corner != agentRun.lastCorner) {
    if (sample.corner == NoCorner) Trace("corner %d left", agentRun.lastCorner);
    if (sample.corner != NoCorner) Trace("corner %d entered", sample.corner);
    agentRun.lastCorner = sample.corner;
  }
  unsigned actions = agentRun.dwell.Step(sample, agentRun.codes);
  if (actions & ActionReleaseHoldOff) ReleaseHoldOff();
  if (actions & ActionTakeHoldOff) TakeHoldOff();
  if (actions & ActionFullScreenIdle) Trace("full-screen program in front: corners idle");
  if (actions & ActionPausedIdle) Trace("paused: corners idle");
  if (actions & ActionStartSaver) {
    Trace("now corner %d: starting the screen saver", sample.corner);
    StartConfiguredSaver();
  }
  bool measuring = sample.corner != NoCorner && !agentRun.dwell.Settled();
  SamplePointerEvery(measuring ? InCornerPeriodMs : AwayPeriodMs);
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != commandTag || !data->lpData || data->cbData > commandCapacity) {
    return FALSE;
  }
  Switches switches = ParseSwitches(static_cast<const char*>(data->lpData), data->cbData);
  Trace("command handed over");
  // The sender waits in SendMessage: it gets its answer before the command runs.
  ReplyMessage(TRUE);
  ExecuteCommand(switches);
  return TRUE;
}

// The icon and its tooltip show the corners active again when a pause for a while is over.
void OnPauseTimer() {
  if (!agentRun.dwell.Paused(GetTickCount())) Trace("pause over");
  UpdateTrayIcon();
}

void OnTimer(UINT_PTR id) {
  if (id == PointerTimer) OnPointerTimer();
  if (id == SaverStartTimer) OnSaverStartTimer();
  if (id == PauseEndTimer) OnPauseTimer();
  if (id == IdleResetTimer) OnIdleResetTimer();
  if (id == GamepadResetTimer) OnGamepadResetTimer();
}

Switches ToggledCornerMode() {
  bool each = agentRun.cornerMode == morvane::CornerMode::Each;
  return {Command::Corners, 0, each ? morvane::CornerMode::Desktop : morvane::CornerMode::Each};
}

void OnMenuCommand(UINT id) {
  switch (id) {
    case MenuStartNow: ExecuteCommand({Command::Now, 0}); break;
    case MenuPauseHour: ExecuteCommand({Command::Pause, 60}); break;
    case MenuPauseUntilResumed: ExecuteCommand({Command::Pause, 0}); break;
    case MenuResume: ExecuteCommand({Command::Resume, 0}); break;
    case MenuSettings: ExecuteCommand({Command::Settings, 0}); break;
    case MenuQuit: ExecuteCommand({Command::Quit, 0}); break;
    case MenuEveryMonitor: ExecuteCommand(ToggledCornerMode()); break;
    case MenuGamepads: ExecuteCommand({Command::Gamepads, 0, {}, !GamepadsCount()}); break;
    default: break;
  }
}

void OnTrayEvent(LPARAM event) {
  if (event == WM_RBUTTONUP || event == WM_CONTEXTMENU || event == WM_LBUTTONUP) ShowTrayMenu();
}

void OnDisplayChange() {
  RefreshZones();
  RefreshTrayIconSize();
}

void OnReread() {
  Trace("settings change notice");
  ReadCornerCodes();
}

// The session ends: the display need not be kept awake any more.
void OnEndSession(bool ending) {
  if (!ending) return;
  if (agentRun.dwell.Release()) ReleaseHoldOff();
  Trace("session ends");
}

void OnCreate(HWND window) {
  agentRun.window = window;
  ReadCornerMode();
  RefreshZones();
  WatchSettings();
  ReadCornerCodes();
  ShowTrayIcon();
  WatchSession(window);
  SamplePointerEvery(AwayPeriodMs);
  StartGamepadWatch();
  Trace("running");
}

void OnDestroy(HWND window) {
  // A quit handed over while the icon's menu is open: the menu's own loop must end too.
  EndMenu();
  KillTimer(window, PointerTimer);
  KillTimer(window, SaverStartTimer);
  EndGamepadWatch();
  if (agentRun.dwell.Release()) ReleaseHoldOff();
  StopWatchingSession(window);
  RemoveTrayIcon();
  ForgetSaver();
  Trace("ended");
  agentRun.window = nullptr;
  PostQuitMessage(0);
}

// The shell was restarted: its notification area is new and empty.
LRESULT OnOtherMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (agentRun.taskbarCreated && message == agentRun.taskbarCreated) ShowTrayIcon();
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK AgentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window); return 0;
    case WM_TIMER: OnTimer(wParam); return 0;
    case WM_DISPLAYCHANGE: OnDisplayChange(); return 0;
    case WM_DPICHANGED: RefreshTrayIconSize(); return 0;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_COMMAND: OnMenuCommand(LOWORD(wParam)); return 0;
    case trayMessage: OnTrayEvent(lParam); return 0;
    case rereadMessage: OnReread(); return 0;
    case saverCheckedMessage: OnSaverChecked(lParam); return 0;
    case gamepadMessage: OnGamepadInput(); return 0;
    case WM_POWERBROADCAST: OnGamepadPowerBroadcast(wParam, lParam); return TRUE;
    case WM_ENDSESSION: OnEndSession(wParam != FALSE); return 0;
    case WM_WTSSESSION_CHANGE: OnSessionChange(wParam); return 0;
    case WM_DESTROY: OnDestroy(window); return 0;
    default: return OnOtherMessage(window, message, wParam, lParam);
  }
}

}  // namespace

HWND MakeHiddenWindow(HINSTANCE instance, const char* className, WNDPROC procedure) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = className;
  if (!RegisterClassExA(&windowClass)) return nullptr;
  return CreateWindowExA(WS_EX_TOOLWINDOW, className, agentTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                         nullptr, instance, nullptr);
}

bool CreateAgentWindow(HINSTANCE instance) {
  agentRun.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  return MakeHiddenWindow(instance, agentClass, AgentProc) != nullptr;
}

}  // namespace corners

#pragma once
// The running agent's one record: its window, what it knows of the desktop and the settings, the
// saver it started and the dwell state.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "corner_zones.h"
#include "displays/corner_mode.h"
#include "dwell.h"

namespace corners {

typedef EXECUTION_STATE(WINAPI* ExecutionStateProc)(EXECUTION_STATE);
typedef BOOL(WINAPI* NotifyIconProc)(DWORD, PNOTIFYICONDATAA);

struct AgentRun {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HANDLE mutex = nullptr;
  // The corner codes in force, in corner order.
  uint8_t codes[CornerCount] = {};
  // Which corners count: the desktop's outer ones, or every monitor's.
  morvane::CornerMode cornerMode = morvane::CornerMode::Desktop;
  CornerZones zones = {};
  DwellMachine dwell;
  // The corner the pointer was in at the last sample (-1 for none), for the traces.
  int lastCorner = NoCorner;
  // The pointer timer's period now.
  UINT pointerPeriodMs = 0;
  // The saver this agent started last, until it ends.
  HANDLE saverProcess = nullptr;
  // The settings key and its parent, watched for changes, and the event their changes signal.
  HKEY watchedKey = nullptr;
  HKEY watchedParent = nullptr;
  HANDLE keyEvent = nullptr;
  UINT taskbarCreated = 0;
  bool iconShown = false;
  // How the icon is handed to the shell: Shell_NotifyIconA, or with a test log the recording
  // stand-in (tray_icon.cpp). The icons of both states, active and paused, at trayIconSize.
  NotifyIconProc notifyIcon = nullptr;
  HICON trayIcons[2] = {};
  int trayIconSize = 0;
  // How the display is kept awake during the hold-off: SetThreadExecutionState, or with a test
  // log the recording stand-in (hold_off.cpp).
  ExecutionStateProc setExecutionState = nullptr;
  // The period of the idle time's resets while the hold-off is taken, 0 while it is not.
  UINT idleResetMs = 0;
  // A command run without an agent (no icon to tell the user through).
  bool alone = false;
  // The test log's path (MORVANE_TEST_LOG), empty when none is set.
  char testLog[MAX_PATH] = {};
};

extern AgentRun agentRun;

}  // namespace corners

#include "window/saver_state.h"

#include "displays/display_layout.h"
#include "settings/user_settings.h"

#include <cstring>

namespace morvane {

SaverInputState saverInput;

namespace {

// The window property holding a window's recorded mode, stored plus one so that 0 means none.
const char windowModeProperty[] = "MorvaneWindowMode";
const char monitorWindowClass[] = "MorvaneMonitorWindowClass";

int ModeFromPlace(HWND window) {
  HWND parent = GetParent(window);
  if (!parent) return WINDOWMODE_FULLSCREEN;
  char className[sizeof monitorWindowClass + 1] = {};
  GetClassNameA(parent, className, sizeof className);
  return std::strcmp(className, monitorWindowClass) == 0 ? WINDOWMODE_MONITORPREVIEW
                                                         : WINDOWMODE_SYSTEMPREVIEW;
}

}  // namespace

void LoadSaverSettings() {
  UserSettings settings;
  saverInput.passwordDelay = settings.current.passwordDelay;
  saverInput.mouseThreshold = settings.current.mouseThreshold;
  saverInput.activeConfig = settings.current.activeConfig;
}

void StartInputSession() {
  ResetCursorOrigin();
  saverInput.startTick = GetTickCount();
  saverInput.dialogActive = 0;
}

void ResetCursorOrigin() {
  GetCursorPos(&saverInput.cursorOrigin);
}

bool CursorMovedPastThreshold() {
  POINT cursor;
  if (!GetCursorPos(&cursor)) return false;
  return MovedPastThreshold({saverInput.cursorOrigin.x, saverInput.cursorOrigin.y},
                            {cursor.x, cursor.y}, saverInput.mouseThreshold);
}

void RecordWindowMode(HWND window, int mode) {
  SetPropA(window, windowModeProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(mode) + 1));
}

bool HasRecordedWindowMode(HWND window) {
  return GetPropA(window, windowModeProperty) != nullptr;
}

int RecordedWindowMode(HWND window) {
  INT_PTR stored = reinterpret_cast<INT_PTR>(GetPropA(window, windowModeProperty));
  return stored ? static_cast<int>(stored - 1) : ModeFromPlace(window);
}

void ForgetWindowMode(HWND window) {
  RemovePropA(window, windowModeProperty);
}

bool EndsMessageLoop(int mode) {
  return mode != WINDOWMODE_MONITORPREVIEW;
}

}  // namespace morvane

#include "carousel_window.h"

#include "carousel_run.h"
#include "morvane.h"
#include "own_picture.h"

namespace carousel {

namespace {

// The power-setting notices the framework registers the run for (POWERBROADCAST_SETTING).
const GUID consoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};
const GUID monitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};
const WPARAM powerSettingChange = 0x8013;  // PBT_POWERSETTINGCHANGE
const WPARAM sessionLock = 7;              // WTS_SESSION_LOCK
const WPARAM sessionUnlock = 8;            // WTS_SESSION_UNLOCK

struct PowerSettingNotice {
  GUID setting;
  DWORD dataLength;
  UCHAR data[1];
};

void OnCreate(HWND window, LPARAM lParam) {
  const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  const auto* params = static_cast<const SaverCreateParams*>(create->lpCreateParams);
  OpenScreen(window, params ? params->mode : WINDOWMODE_SYSTEMPREVIEW);
}

// Black behind the saver, so that a monitor between two savers never shows the desktop; the
// preview's own picture when it has no saver.
void OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window, &paint);
  RECT area;
  GetClientRect(window, &area);
  if (GetParent(window) && !ScreenShowsSaver(window)) {
    DrawOwnPicture(target, area);
  } else {
    FillRect(target, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  }
  EndPaint(window, &paint);
}

void OnPowerBroadcast(WPARAM event, LPARAM lParam) {
  const auto* notice = reinterpret_cast<const PowerSettingNotice*>(lParam);
  if (event != powerSettingChange || !notice || notice->dataLength < sizeof(DWORD)) return;
  if (!IsEqualGUID(notice->setting, consoleDisplayState) &&
      !IsEqualGUID(notice->setting, monitorPowerOn)) {
    return;
  }
  DWORD state;
  CopyMemory(&state, notice->data, sizeof state);
  SetBlind(Blind::DisplayOff, state == 0);  // 1 on, 2 dimmed: still seen
}

void OnSysCommand(WPARAM command, LPARAM state) {
  // -1 on, 1 low power, 2 off.
  if ((command & 0xFFF0) == SC_MONITORPOWER) SetBlind(Blind::DisplayOff, state == 1 || state == 2);
}

void OnSessionChange(WPARAM event) {
  if (event == sessionLock || event == sessionUnlock) {
    SetBlind(Blind::SessionLocked, event == sessionLock);
  }
}

bool IsDeactivation(HWND window, UINT message, WPARAM wParam) {
  if (GetParent(window)) return false;
  switch (message) {
    case WM_ACTIVATE: return LOWORD(wParam) == WA_INACTIVE;
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE: return wParam == FALSE;
    default: return false;
  }
}

// NOTE: the savers inside take the activation from the run when they crash (under Wine the
// crashed process's debugger did, and on Windows its error report may), and a saver may take it
// on its own. Unlike a framework saver, Carousel does not end on losing the activation: the run
// ends on input, which it watches whichever window has the activation.
LRESULT KeepRunOnDeactivation(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return message == WM_NCACTIVATE ? DefWindowProcA(window, message, wParam, lParam) : 0;
}

}  // namespace

// The framework sees every message after us, the notices of power and session included: it
// pauses the ticks while we hold the savers.
LRESULT CALLBACK CarouselProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsDeactivation(window, message, wParam)) {
    return KeepRunOnDeactivation(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_CREATE: OnCreate(window, lParam); break;
    case WM_DESTROY: CloseScreen(window); break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_SIZE: FitScreen(window); break;
    case SCRM_TIMER: return TickScreen(window);
    case SCRM_DIALOGACTIVE: SetDialogActive(wParam != 0); break;
    case WM_POWERBROADCAST: OnPowerBroadcast(wParam, lParam); break;
    case WM_SYSCOMMAND: OnSysCommand(wParam, lParam); break;
    case WM_WTSSESSION_CHANGE: OnSessionChange(wParam); break;
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

}  // namespace carousel

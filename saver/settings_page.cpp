#include "settings_page.h"

#include <commctrl.h>

#include <new>

#include "morvane.h"
#include "saver_resources.h"
#include "saver_window.h"
#include "settings_store.h"

namespace {

const SaverSettingDecl& lightsDecl = saverSettingDecls[0];
const SaverSettingDecl& glowDecl = saverSettingDecls[1];
const SaverSettingDecl& frameRateDecl = saverSettingDecls[3];

struct RateButton {
  int control;
  int rate;
};
const RateButton rateButtons[] = {
    {IDC_PAGE_RATE_DISPLAY, FrameRateOfDisplay}, {IDC_PAGE_RATE_60, 60}, {IDC_PAGE_RATE_30, 30}};
constexpr int GlowTickSpacing = 25;

struct PageState {
  SaverSettings opened;  // as stored when the page opened: what Cancel restores
  SaverSettings current;
  HWND preview = nullptr;
  bool filling = true;  // the page's own writes into its controls are no user changes
};

PageState* StateOf(HWND page) {
  return reinterpret_cast<PageState*>(GetWindowLongPtrA(page, DWLP_USER));
}

void StoreAndPreview(PageState& state) {
  WriteSaverSettings(state.current);
  if (state.preview && IsWindow(state.preview))
    SendMessageA(state.preview, GLIMMER_RELOADSETTINGS, 0, 0);
}

// A user's change: also reported to the framework, which tells the running saver under an active
// configuration. (After OK and Cancel the framework tells it by itself.)
void StoreChange(HWND page, PageState& state) {
  StoreAndPreview(state);
  SendMessageA(page, SCRM_SETTINGSCHANGED, SCRSETTINGS_SAVER, 0);
}

void FillControls(HWND page, const SaverSettings& settings) {
  SendDlgItemMessageA(page, IDC_PAGE_LIGHTS_UD, UDM_SETRANGE32, lightsDecl.minimum,
                      lightsDecl.maximum);
  SetDlgItemInt(page, IDC_PAGE_LIGHTS, static_cast<UINT>(settings.lights), FALSE);
  SendDlgItemMessageA(page, IDC_PAGE_LIGHTS_UD, UDM_SETPOS32, 0, settings.lights);
  SendDlgItemMessageA(page, IDC_PAGE_GLOW, TBM_SETRANGE, TRUE,
                      MAKELPARAM(glowDecl.minimum, glowDecl.maximum));
  SendDlgItemMessageA(page, IDC_PAGE_GLOW, TBM_SETTICFREQ, GlowTickSpacing, 0);
  SendDlgItemMessageA(page, IDC_PAGE_GLOW, TBM_SETPAGESIZE, 0, GlowTickSpacing);
  SendDlgItemMessageA(page, IDC_PAGE_GLOW, TBM_SETPOS, TRUE, settings.glow);
  CheckRadioButton(
      page, IDC_PAGE_MONITORS_EACH, IDC_PAGE_MONITORS_PRIMARY,
      settings.monitors == MonitorsPrimary ? IDC_PAGE_MONITORS_PRIMARY : IDC_PAGE_MONITORS_EACH);
  // One by one: the checkbox's id lies between the rates' ids.
  for (const RateButton& button : rateButtons) {
    CheckDlgButton(page, button.control,
                   settings.frameRate == button.rate ? BST_CHECKED : BST_UNCHECKED);
  }
  CheckDlgButton(page, IDC_PAGE_SHOW_RATE, settings.showFrameRate ? BST_CHECKED : BST_UNCHECKED);
}

INT_PTR OnInitPage(HWND page) {
  PageState* state = new (std::nothrow) PageState;
  if (!state) return TRUE;
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  state->opened = ReadSaverSettings();
  state->current = state->opened;
  FillControls(page, state->current);
  state->preview = CreatePreview(GetDlgItem(page, IDC_PAGE_PREVIEW));
  state->filling = false;
  return TRUE;
}

// A half-typed or empty number changes nothing; one out of range counts as its nearest limit.
void OnLightsEdited(HWND page) {
  PageState* state = StateOf(page);
  if (!state || state->filling) return;
  BOOL parsed = FALSE;
  const UINT typed = GetDlgItemInt(page, IDC_PAGE_LIGHTS, &parsed, FALSE);
  if (!parsed) return;
  const int lights = ClampSetting(lightsDecl, typed);
  if (lights == state->current.lights) return;
  state->current.lights = lights;
  StoreChange(page, *state);
}

// Read from the checks, which the auto radio buttons set before they notify, whether clicked or
// reached with the arrow keys. The choice counts from the next full-screen run on: a saver running
// under an active configuration keeps the windows it has.
void OnMonitorsChosen(HWND page) {
  PageState* state = StateOf(page);
  if (!state || state->filling) return;
  const int monitors = IsDlgButtonChecked(page, IDC_PAGE_MONITORS_PRIMARY) == BST_CHECKED
                           ? MonitorsPrimary
                           : MonitorsEach;
  if (monitors == state->current.monitors) return;
  state->current.monitors = monitors;
  StoreChange(page, *state);
}

// Read from the checks, as the monitors' choice is. The preview and a running saver under an
// active configuration tick at the new rate from their next tick on.
void OnFrameRateChosen(HWND page) {
  PageState* state = StateOf(page);
  if (!state || state->filling) return;
  int rate = frameRateDecl.defaultValue;
  for (const RateButton& button : rateButtons) {
    if (IsDlgButtonChecked(page, button.control) == BST_CHECKED) rate = button.rate;
  }
  if (rate == state->current.frameRate) return;
  state->current.frameRate = rate;
  StoreChange(page, *state);
}

void OnShowFrameRateToggled(HWND page) {
  PageState* state = StateOf(page);
  if (!state || state->filling) return;
  const int show = IsDlgButtonChecked(page, IDC_PAGE_SHOW_RATE) == BST_CHECKED ? 1 : 0;
  if (show == state->current.showFrameRate) return;
  state->current.showFrameRate = show;
  StoreChange(page, *state);
}

void OnPageCommand(HWND page, WPARAM wParam) {
  const int control = LOWORD(wParam);
  if (control == IDC_PAGE_LIGHTS && HIWORD(wParam) == EN_CHANGE) OnLightsEdited(page);
  if ((control == IDC_PAGE_MONITORS_EACH || control == IDC_PAGE_MONITORS_PRIMARY) &&
      HIWORD(wParam) == BN_CLICKED)
    OnMonitorsChosen(page);
  if ((control == IDC_PAGE_RATE_30 || control == IDC_PAGE_RATE_60 ||
       control == IDC_PAGE_RATE_DISPLAY) &&
      HIWORD(wParam) == BN_CLICKED)
    OnFrameRateChosen(page);
  if (control == IDC_PAGE_SHOW_RATE && HIWORD(wParam) == BN_CLICKED) OnShowFrameRateToggled(page);
}

void OnGlowScrolled(HWND page, HWND control) {
  PageState* state = StateOf(page);
  if (!state || state->filling || control != GetDlgItem(page, IDC_PAGE_GLOW)) return;
  const int glow = ClampSetting(glowDecl, SendMessageA(control, TBM_GETPOS, 0, 0));
  if (glow == state->current.glow) return;
  state->current.glow = glow;
  StoreChange(page, *state);
}

// The sheet has no Apply button and every change is stored as it is made: OK keeps them,
// Cancel (PSN_RESET) puts back what was stored when the page opened.
INT_PTR OnSheetNotice(HWND page, const NMHDR* notice) {
  PageState* state = StateOf(page);
  if (!notice || !state) return FALSE;
  switch (notice->code) {
    case PSN_APPLY: SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR); return TRUE;
    case PSN_RESET:
      state->current = state->opened;
      StoreAndPreview(*state);
      return TRUE;
  }
  return FALSE;
}

void OnDestroyPage(HWND page) {
  delete StateOf(page);
  SetWindowLongPtrA(page, DWLP_USER, 0);
}

}  // namespace

INT_PTR CALLBACK GlimmerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitPage(page);
    case WM_COMMAND: OnPageCommand(page, wParam); return FALSE;
    case WM_HSCROLL: OnGlowScrolled(page, reinterpret_cast<HWND>(lParam)); return TRUE;
    case WM_NOTIFY: return OnSheetNotice(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY: OnDestroyPage(page); return FALSE;
  }
  return FALSE;
}

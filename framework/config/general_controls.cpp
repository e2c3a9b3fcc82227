#include "config/general_controls.h"

#include <commctrl.h>

#include "config/config_dialog.h"
#include "config/general_page.h"
#include "config/page_values.h"
#include "core/library.h"
#include "monitor/monitor_style.h"
#include "settings/prefs.h"
#include "settings/user_settings.h"
#include "core/resource_ids.h"
#include "core/trace.h"

namespace morvane {

namespace {

enum { CornerCount = 4, DelaySpinMax = 99, BroadcastTimeoutMs = 200 };

const UINT sensitivityStrings[] = {IDS_SENSITIVITY_HIGH, IDS_SENSITIVITY_NORMAL,
                                   IDS_SENSITIVITY_LOW, IDS_SENSITIVITY_KEYBOARD};
const UINT unitStrings[] = {IDS_UNIT_SECONDS, IDS_UNIT_MINUTES};
const int delayRow[] = {IDC_WAIT_LABEL, IDC_DELAY, IDC_DELAY_SPIN, IDC_DELAY_UNIT, IDC_DELAY_TAIL};
const int delayInputs[] = {IDC_DELAY, IDC_DELAY_SPIN, IDC_DELAY_UNIT};
const char settingsSection[] = "Windows";

LRESULT SendItem(HWND page, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendDlgItemMessageA(page, id, message, wParam, lParam);
}

void ShowItem(HWND page, int id, bool shown) {
  ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE);
}

// A control for an option the saver does not offer is neither seen nor reachable by keyboard.
void OfferItem(HWND page, int id, bool offered) {
  ShowItem(page, id, offered);
  EnableWindow(GetDlgItem(page, id), offered);
}

void SetCheck(HWND page, int id, int32_t value) {
  CheckDlgButton(page, id, value ? BST_CHECKED : BST_UNCHECKED);
}

int32_t Checked(HWND page, int id) {
  return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0;
}

// The combo box's selection; false for none.
bool Selection(HWND page, int id, uint32_t* index) {
  LRESULT selected = SendItem(page, id, CB_GETCURSEL);
  if (selected == CB_ERR || selected < 0) return false;
  *index = static_cast<uint32_t>(selected);
  return true;
}

void AddStringEntry(HWND page, int id, const char* text) {
  SendItem(page, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

uint32_t CornerStyle(HWND page) {
  return static_cast<uint32_t>(GetWindowLongPtrA(GetDlgItem(page, IDC_CORNERS), GWL_STYLE));
}

void ShowCorners(HWND page, const uint8_t corners[CornerCount]) {
  int states[CornerCount];
  for (int corner = 0; corner < CornerCount; ++corner) states[corner] = corners[corner];
  HWND control = GetDlgItem(page, IDC_CORNERS);
  uint32_t style = WithCornerStates(CornerStyle(page), states);
  SetWindowLongPtrA(control, GWL_STYLE, static_cast<LONG_PTR>(style));
  InvalidateRect(control, nullptr, FALSE);
}

void ShowAgentTexts(HWND page) {
  libraryState.systemAgentPresent = DetectSystemAgent();
  ShowItem(page, IDC_CORNERS_TEXT, libraryState.systemAgentPresent != 0);
  ShowItem(page, IDC_AGENT_TEXT, libraryState.systemAgentPresent == 0);
}

// A saver that decides about passwords itself says so in place of the delay row.
void ShowPasswordTreatment(HWND page) {
  char text[MessageCapacity];
  UINT id = currentPrefs.alwaysPassword ? IDS_ALWAYS_PASSWORD : IDS_NEVER_PASSWORD;
  if (!LoadFrameworkString(id, text, sizeof text)) {
    lstrcpynA(text, "Special password treatment.", sizeof text);
  }
  SetDlgItemTextA(page, IDC_PASSWORD_TEXT, text);
  for (int item : delayRow) ShowItem(page, item, false);
  for (int item : delayInputs) EnableWindow(GetDlgItem(page, item), FALSE);
  ShowItem(page, IDC_PASSWORD_TEXT, true);
}

void ShowDelayRow(HWND page, int32_t delay, uint32_t unit) {
  ShowItem(page, IDC_PASSWORD_TEXT, false);
  SendItem(page, IDC_DELAY_UNIT, CB_RESETCONTENT);
  for (UINT id : unitStrings) {
    char text[NameCapacity];
    if (LoadFrameworkString(id, text, sizeof text)) AddStringEntry(page, IDC_DELAY_UNIT, text);
  }
  SendItem(page, IDC_DELAY_UNIT, CB_SETCURSEL, unit);
  char number[NameCapacity];
  wsprintfA(number, "%i", DelayShownInUnit(delay, unit));
  SetDlgItemTextA(page, IDC_DELAY, number);
  // Only the arrows are held to this range; the edit takes what is typed.
  SendItem(page, IDC_DELAY_SPIN, UDM_SETRANGE32, 0, DelaySpinMax);
}

void ShowSensitivities(HWND page, uint32_t index) {
  SendItem(page, IDC_SENSITIVITY, CB_RESETCONTENT);
  for (UINT id : sensitivityStrings) {
    char entry[NameCapacity];
    if (!LoadFrameworkString(id, entry, sizeof entry)) continue;
    CutSensitivityLabel(entry);
    AddStringEntry(page, IDC_SENSITIVITY, entry);
  }
  SendItem(page, IDC_SENSITIVITY, CB_SETCURSEL, index);
}

void ReadCorners(HWND page, uint8_t corners[CornerCount]) {
  uint32_t style = CornerStyle(page);
  for (int corner = 0; corner < CornerCount; ++corner) {
    corners[corner] = static_cast<uint8_t>(CornerStateOf(style, corner));
  }
}

// Only an edit of the box itself is read as typed: the box shows a stored delay in whole minutes,
// and any other command (the edit taking the focus, another control changing) would otherwise
// turn that rounding into the delay.
void ReadDelay(HWND page, int32_t* delay, uint32_t unit, uint32_t shownUnit, bool edited) {
  char text[NameCapacity];
  GetDlgItemTextA(page, IDC_DELAY, text, sizeof text);
  if (edited) {
    ReadEditedDelay(text, unit, delay);
  } else {
    ReadTypedDelay(text, unit, shownUnit, delay);
  }
}

void ReadSensitivity(HWND page, uint32_t* index, int32_t* threshold) {
  if (!Selection(page, IDC_SENSITIVITY, index)) return;
  UINT last = sizeof sensitivityStrings / sizeof sensitivityStrings[0] - 1;
  char entry[NameCapacity];
  if (LoadFrameworkString(sensitivityStrings[*index < last ? *index : last], entry, sizeof entry)) {
    ReadSensitivityThreshold(entry, threshold);
  }
}

void BroadcastSettingsChange() {
  Trace("Morvane: GeneralDialog: system being notified of changes");
  // NOTE: an asynchronous send (SendNotifyMessage) of a system message that carries a pointer is
  // refused with ERROR_MESSAGE_SYNC_ONLY on Windows and Wine alike, so nobody would hear it. A
  // synchronous send that gives up on hung windows delivers it without letting them hold the sheet.
  DWORD_PTR result;
  SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(settingsSection),
                      SMTO_ABORTIFHUNG, BroadcastTimeoutMs, &result);
}

}  // namespace

void InitGeneralControls(HWND page, UserSettings& settings) {
  const SettingValues& values = settings.current;
  // The controls report the set-up's own changes; none of them is the user's.
  settings.inSetup = 1;
  ShowCorners(page, values.corners);
  ShowAgentTexts(page);
  if (currentPrefs.alwaysPassword || currentPrefs.neverPassword) {
    ShowPasswordTreatment(page);
  } else {
    ShowDelayRow(page, values.passwordDelay, values.passwordDelayIndex);
  }
  ShowSensitivities(page, values.mouseThresholdIndex);
  SetCheck(page, IDC_MUTE, values.muteSound);
  OfferItem(page, IDC_MUTE, currentPrefs.offerMuteSound != 0);
  SetCheck(page, IDC_ACTIVE_CONFIG, values.activeConfig);
  OfferItem(page, IDC_ACTIVE_CONFIG, currentPrefs.allowActiveConfig != 0);
  settings.inSetup = 0;
}

bool IsDelayEdit(HWND page, WPARAM command, HWND control) {
  WORD code = HIWORD(command);
  return LOWORD(command) == IDC_DELAY && control == GetDlgItem(page, IDC_DELAY) &&
         (code == EN_UPDATE || code == EN_CHANGE);
}

void GeneralControlChanged(HWND page, UserSettings& settings, bool delayEdited) {
  if (settings.inSetup) return;
  SettingValues& values = settings.current;
  const SettingValues before = values;
  ReadCorners(page, values.corners);
  uint32_t shownUnit = values.passwordDelayIndex;
  Selection(page, IDC_DELAY_UNIT, &values.passwordDelayIndex);
  ReadDelay(page, &values.passwordDelay, values.passwordDelayIndex, shownUnit, delayEdited);
  ReadSensitivity(page, &values.mouseThresholdIndex, &values.mouseThreshold);
  if (currentPrefs.offerMuteSound) values.muteSound = Checked(page, IDC_MUTE);
  if (currentPrefs.allowActiveConfig) values.activeConfig = Checked(page, IDC_ACTIVE_CONFIG);
  if (SameValues(values, before)) return;
  Trace("Morvane: GeneralDialog: a control has been changed. Doing registry stuff.");
  settings.WriteRegistry();
  NotifyGeneralChanges(page, settings, false);
}

LRESULT NotifyGeneralChanges(HWND page, const UserSettings& settings, bool applied) {
  if (applied) {
    BroadcastSettingsChange();
  } else {
    NotifySystemAgent();
  }
  ScrSettings summary = {};
  summary.size = sizeof summary;
  SummariseSettings(settings, &summary);
  HWND sheet = GetParent(page);
  DWORD flags = applied ? NoticeGeneralApplied : NoticeGeneralChanged;
  ChangeNotice notice = {sheet, flags, &summary};
  // The summary lives on this stack: the hidden dialog must take it during the send.
  return SendMessageA(GetParent(sheet), SCRM_SETTINGSCHANGED, 0, reinterpret_cast<LPARAM>(&notice));
}

int RevertGeneralSettings(UserSettings& settings) {
  if (settings.MatchesRemembered()) return 0;
  settings.RestoreRemembered();
  return 1;
}

}  // namespace morvane

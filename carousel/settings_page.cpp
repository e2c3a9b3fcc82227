#include "settings_page.h"

#include <commctrl.h>

#include <new>
#include <string>
#include <vector>

#include "page_resources.h"
#include "saver_catalog.h"
#include "saver_list.h"
#include "settings_store.h"
#include "trace.h"

namespace carousel {

namespace {

const char pageCaption[] = "Carousel";
const char noSaverChecked[] = "Check at least one saver for Carousel to show.";
const char cannotStore[] = "Carousel cannot store its settings in the registry.";

struct PageState {
  Settings opened;  // as stored when the page opened: kept unless OK
  std::vector<std::string> installed;
  std::vector<PageRow> rows;
  std::vector<std::string> labels;  // each row's text, in the rows' order
  bool filling = true;
};

PageState* StateOf(HWND page) {
  return reinterpret_cast<PageState*>(GetWindowLongPtrA(page, DWLP_USER));
}

HWND SaverList(HWND page) {
  return GetDlgItem(page, IDC_CAROUSEL_SAVERS);
}

std::string LabelOf(const std::string& path) {
  std::string why;
  const std::string name = SaverDisplayName(path);
  return IsUsableSaver(path, &why) ? name : name + " (skipped: " + why + ")";
}

// The checks as the user left them, into the rows, before the list is filled anew or read.
void TakeChecks(HWND page, PageState& state) {
  HWND list = SaverList(page);
  for (size_t i = 0; i < state.rows.size(); ++i)
    state.rows[i].checked = ListView_GetCheckState(list, static_cast<int>(i)) != 0;
}

void FillSaverList(HWND page, PageState& state, int selected) {
  HWND list = SaverList(page);
  state.filling = true;
  ListView_DeleteAllItems(list);
  for (size_t i = 0; i < state.rows.size(); ++i) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<char*>(state.labels[i].c_str());
    const int index =
        static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    ListView_SetCheckState(list, index, state.rows[i].checked);
  }
  if (selected >= 0 && selected < static_cast<int>(state.rows.size())) {
    ListView_SetItemState(list, selected, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, selected, FALSE);
  }
  state.filling = false;
}

void SetUpSaverList(HWND page) {
  HWND list = SaverList(page);
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client = {};
  GetClientRect(list, &client);
  LVCOLUMNA column = {};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void FillChoices(HWND page, const Settings& settings) {
  CheckRadioButton(
      page, IDC_CAROUSEL_EACH, IDC_CAROUSEL_SAME,
      settings.monitors == MonitorChoice::Same ? IDC_CAROUSEL_SAME : IDC_CAROUSEL_EACH);
  CheckRadioButton(page, IDC_CAROUSEL_LIST, IDC_CAROUSEL_RANDOM,
                   settings.order == OrderChoice::Random ? IDC_CAROUSEL_RANDOM : IDC_CAROUSEL_LIST);
  SendDlgItemMessageA(page, IDC_CAROUSEL_CYCLE_UD, UDM_SETRANGE32, 0, MaximumCycleSeconds / 60);
  const uint32_t minutes = CycleMinutesShown(settings.cycleSeconds);
  SetDlgItemInt(page, IDC_CAROUSEL_CYCLE, minutes, FALSE);
  SendDlgItemMessageA(page, IDC_CAROUSEL_CYCLE_UD, UDM_SETPOS32, 0, static_cast<LPARAM>(minutes));
}

INT_PTR OnInitPage(HWND page) {
  PageState* state = new (std::nothrow) PageState;
  if (!state) return TRUE;
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  state->opened = ReadSettingsFrom(settingsKey);
  state->installed = InstalledSavers();
  state->rows = PageRows(state->opened.savers, state->installed);
  for (const PageRow& row : state->rows) state->labels.push_back(LabelOf(row.path));
  SetUpSaverList(page);
  FillSaverList(page, *state, 0);
  FillChoices(page, state->opened);
  return TRUE;
}

// What the page shows, as settings: the checked savers in order, the choices, and the cycle
// (an empty or unreadable box keeps the stored one).
Settings ChosenSettings(HWND page, PageState& state) {
  TakeChecks(page, state);
  Settings settings = state.opened;
  settings.savers = SaversToStore(state.rows, state.installed, state.opened.savers.empty());
  settings.monitors = IsDlgButtonChecked(page, IDC_CAROUSEL_SAME) == BST_CHECKED
                          ? MonitorChoice::Same
                          : MonitorChoice::Each;
  settings.order = IsDlgButtonChecked(page, IDC_CAROUSEL_RANDOM) == BST_CHECKED
                       ? OrderChoice::Random
                       : OrderChoice::List;
  BOOL parsed = FALSE;
  const UINT minutes = GetDlgItemInt(page, IDC_CAROUSEL_CYCLE, &parsed, FALSE);
  if (parsed) settings.cycleSeconds = CycleSecondsFromMinutes(minutes, state.opened.cycleSeconds);
  return settings;
}

// Nothing checked would store the empty list, which means every saver: the opposite of what the
// user sees. (With no saver installed at all there is nothing to check, and nothing to refuse.)
bool SomeSaverChecked(HWND page, PageState& state) {
  TakeChecks(page, state);
  for (const PageRow& row : state.rows) {
    if (row.checked) return true;
  }
  if (state.rows.empty()) return true;
  MessageBoxA(page, noSaverChecked, pageCaption, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

int SelectedRow(HWND page) {
  return static_cast<int>(ListView_GetNextItem(SaverList(page), -1, LVNI_SELECTED));
}

void OnMove(HWND page, int step) {
  PageState* state = StateOf(page);
  if (!state) return;
  const int from = SelectedRow(page);
  const int to = from + step;
  if (from < 0 || to < 0 || to >= static_cast<int>(state->rows.size())) return;
  TakeChecks(page, *state);
  std::swap(state->rows[from], state->rows[to]);
  std::swap(state->labels[from], state->labels[to]);
  FillSaverList(page, *state, to);
  SetFocus(SaverList(page));
}

// Starts program with the command line's switch; false (error traced and shown) if it cannot.
bool StartProgram(HWND page, const std::string& program, const std::string& switches) {
  std::string line = "\"" + program + "\" " + switches;
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    const DWORD error = GetLastError();
    Trace("cannot start %s (error %lu)", line.c_str(), error);
    const std::string text =
        "\"" + program + "\" cannot be started (error " + std::to_string(error) + ").";
    MessageBoxA(page, text.c_str(), pageCaption, MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The page's choices on the screen, in a full-screen run of this very program that reads them
// from the preview key: the stored settings stay untouched until OK.
void OnPreview(HWND page) {
  PageState* state = StateOf(page);
  if (!state || !SomeSaverChecked(page, *state)) return;
  if (!WritePreviewSettings(ChosenSettings(page, *state))) return;
  char program[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  if (length == 0 || length >= sizeof program) return;
  SetEnvironmentVariableA(previewEnvironment, "1");
  StartProgram(page, program, "/s");
  SetEnvironmentVariableA(previewEnvironment, nullptr);
}

// The selected saver's own settings, over this sheet as the display settings open them.
void OnSaverSettings(HWND page) {
  PageState* state = StateOf(page);
  const int row = SelectedRow(page);
  if (!state || row < 0 || row >= static_cast<int>(state->rows.size())) {
    MessageBeep(MB_OK);
    return;
  }
  HWND sheet = GetParent(page);
  StartProgram(page, state->rows[row].path,
               "/c:" + std::to_string(reinterpret_cast<uintptr_t>(sheet ? sheet : page)));
}

void OnPageCommand(HWND page, WPARAM wParam) {
  if (HIWORD(wParam) != BN_CLICKED) return;
  switch (LOWORD(wParam)) {
    case IDC_CAROUSEL_UP: OnMove(page, -1); return;
    case IDC_CAROUSEL_DOWN: OnMove(page, +1); return;
    case IDC_CAROUSEL_PREVIEW: OnPreview(page); return;
    case IDC_CAROUSEL_SETTINGS: OnSaverSettings(page); return;
  }
}

// Stores what the page shows; when the registry refuses, says so and keeps the sheet open, so that
// the choices are not lost.
LONG_PTR OnApply(HWND page, PageState& state) {
  if (WriteSettings(ChosenSettings(page, state))) return PSNRET_NOERROR;
  MessageBoxA(page, cannotStore, pageCaption, MB_OK | MB_ICONEXCLAMATION);
  return PSNRET_INVALID_NOCHANGEPAGE;
}

INT_PTR Answer(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

// OK stores what the page shows; Cancel (PSN_RESET) has nothing to undo, since nothing was
// stored before.
INT_PTR OnSheetNotice(HWND page, const NMHDR* notice) {
  PageState* state = StateOf(page);
  if (!notice || !state) return FALSE;
  switch (notice->code) {
    case PSN_KILLACTIVE: return Answer(page, SomeSaverChecked(page, *state) ? FALSE : TRUE);
    case PSN_APPLY: return Answer(page, OnApply(page, *state));
    case NM_DBLCLK:
      if (notice->idFrom == IDC_CAROUSEL_SAVERS) OnSaverSettings(page);
      return FALSE;
  }
  return FALSE;
}

void OnDestroyPage(HWND page) {
  delete StateOf(page);
  SetWindowLongPtrA(page, DWLP_USER, 0);
}

}  // namespace

void RegisterPageControls() {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS;
  InitCommonControlsEx(&controls);
}

INT_PTR CALLBACK CarouselPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitPage(page);
    case WM_COMMAND: OnPageCommand(page, wParam); return FALSE;
    case WM_NOTIFY: return OnSheetNotice(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY: OnDestroyPage(page); return FALSE;
  }
  return FALSE;
}

}  // namespace carousel

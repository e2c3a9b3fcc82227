// The General page on a sheet of its own, owned by a window that stands in for the hidden
// dialog and records the change notices: controls and registry, each change and its notice,
// Cancel and OK with the broadcast, the password declarations, the System Agent libraries (the
// stand-ins beside this program) and the help calls.
#include "config/config_dialog.h"
#include "config/general_page.h"
#include "config/help.h"
#include "settings/user_settings.h"
#include "core/library.h"
#include "core/resource_ids.h"
#include "saver_fixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace morvane;

namespace {

// ---- The sheet and its owner ----

struct Notice {
  HWND source;
  DWORD flags;
  WPARAM wParam;
  ScrSettings summary;
};
std::vector<Notice> notices;

const UINT runScript = WM_APP + 60;
std::function<void(HWND sheet, HWND page)> script;
bool buttonPressed;

void RecordNotice(WPARAM wParam, const ChangeNotice* notice) {
  // The summary lives only as long as the send: keep a copy.
  notices.push_back(Notice{notice->source, notice->flags, wParam, *notice->summary});
}

void RunScript(HWND sheet) {
  script(sheet, PropSheet_GetCurrentPageHwnd(sheet));
  if (!buttonPressed) PropSheet_PressButton(sheet, PSBTN_CANCEL);
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case SCRM_SETTINGSCHANGED:
      RecordNotice(wParam, reinterpret_cast<const ChangeNotice*>(lParam));
      return 1;
    case runScript: RunScript(reinterpret_cast<HWND>(lParam)); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

HWND sheetOwner;

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) {
    PostMessageA(sheetOwner, runScript, 0, reinterpret_cast<LPARAM>(sheet));
  }
  return 0;
}

void Press(HWND sheet, int button) {
  buttonPressed = true;
  PropSheet_PressButton(sheet, button);
}

// Runs a modal sheet with the General page as the framework builds it; the script drives the
// page from inside the sheet's loop, and presses Cancel for it when it presses nothing.
int RunGeneralSheet(const std::function<void(HWND sheet, HWND page)>& pageScript) {
  script = pageScript;
  buttonPressed = false;
  notices.clear();
  UserSettings* settings = new UserSettings;
  PROPSHEETPAGEA page = {};
  page.dwSize = PROPSHEETPAGEA_V1_SIZE;
  page.hInstance = GetModuleHandleA(nullptr);
  page.pszTemplate = MAKEINTRESOURCEA(IDD_GENERAL_PAGE);
  page.pfnDlgProc = GeneralDlgProc;
  page.lParam = reinterpret_cast<LPARAM>(settings);
  PROPSHEETHEADERA header = {};
  header.dwSize = PROPSHEETHEADERA_V1_SIZE;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  header.hwndParent = sheetOwner;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszCaption = "General page test";
  header.nPages = 1;
  header.ppsp = &page;
  header.pfnCallback = SheetCallback;
  int result = static_cast<int>(PropertySheetA(&header));
  delete settings;
  return result;
}

void CreateSheetOwner() {
  WNDCLASSA ownerClass = {};
  ownerClass.lpfnWndProc = OwnerProc;
  ownerClass.hInstance = GetModuleHandleA(nullptr);
  ownerClass.lpszClassName = "GeneralPageTestOwner";
  RegisterClassA(&ownerClass);
  sheetOwner = CreateWindowExA(0, ownerClass.lpszClassName, "owner", WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// ---- Driving the controls as they report themselves ----

HWND Item(HWND page, int id) {
  return GetDlgItem(page, id);
}

void Command(HWND page, int id, WORD code) {
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(page, id)));
}

void Choose(HWND page, int combo, int index) {
  SendMessageA(Item(page, combo), CB_SETCURSEL, index, 0);
  Command(page, combo, CBN_SELCHANGE);
}

// The edit reports WM_SETTEXT with its own change notices.
void TypeOver(HWND page, const char* text) {
  SetDlgItemTextA(page, IDC_DELAY, text);
}

// A keystroke as the keyboard delivers it: the edit then sends EN_UPDATE and EN_CHANGE.
void Key(HWND page, char key) {
  SendMessageA(Item(page, IDC_DELAY), WM_CHAR, key, 1);
}

void SelectAllAndKey(HWND page, char key) {
  SendMessageA(Item(page, IDC_DELAY), EM_SETSEL, 0, -1);
  Key(page, key);
}

// The monitor control changes its style, then tells its parent.
void SetCornerBits(HWND page, DWORD mask, DWORD bits) {
  HWND monitor = GetDlgItem(page, IDC_CORNERS);
  LONG_PTR style = GetWindowLongPtrA(monitor, GWL_STYLE);
  SetWindowLongPtrA(monitor, GWL_STYLE, (style & ~LONG_PTR(mask)) | LONG_PTR(bits));
  SendMessageA(page, WM_COMMAND, IDC_CORNERS, reinterpret_cast<LPARAM>(monitor));
}

std::string Text(HWND window) {
  char text[300] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::vector<std::string> ComboTexts(HWND combo) {
  std::vector<std::string> texts;
  int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    char text[200] = {};
    SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

DWORD Style(HWND window) {
  return static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
}

bool Shown(HWND page, int id) {
  return IsWindowVisible(Item(page, id)) != FALSE;
}
bool Enabled(HWND page, int id) {
  return IsWindowEnabled(Item(page, id)) != FALSE;
}

// ---- The registry key the page writes ----

const char* const settingNames[] = {
    "Password Delay", "Password Delay Index", "Mouse Threshold", "Mouse Threshold Index",
    "Mouse Corners",  "Mute Sound",           "Active Config"};

struct SavedValue {
  std::string name;
  bool present = false;
  DWORD type = 0;
  std::vector<BYTE> data;
};

std::vector<SavedValue> SaveSettings() {
  std::vector<SavedValue> saved;
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, screenSaversKey, 0, KEY_READ, &key);
  for (const char* name : settingNames) {
    SavedValue value;
    value.name = name;
    DWORD size = 0;
    if (key && RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
      value.data.resize(size);
      value.present = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size) ==
                      ERROR_SUCCESS;
    }
    saved.push_back(value);
  }
  if (key) RegCloseKey(key);
  return saved;
}

void RestoreSettings(const std::vector<SavedValue>& saved) {
  for (const SavedValue& value : saved) {
    if (value.present) {
      SetRegistryData(screenSaversKey, value.name.c_str(), value.type, value.data.data(),
                      static_cast<DWORD>(value.data.size()));
    } else {
      DeleteRegistryValue(screenSaversKey, value.name.c_str());
    }
  }
}

// A stored value as text: a REG_DWORD as a signed decimal number, a text as it is.
std::string Stored(const char* name) {
  char data[64] = {};
  DWORD type = 0, size = sizeof data - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, screenSaversKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return "(no key)";
  }
  LONG error = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (error != ERROR_SUCCESS) return "(missing)";
  if (type != REG_DWORD) return data;
  int32_t number;
  std::memcpy(&number, data, sizeof number);
  return std::to_string(number);
}

void StoreSettings(int delay, int delayIndex, int threshold, int thresholdIndex,
                   const char* corners, int mute, int activeConfig) {
  SetRegistryNumber(screenSaversKey, "Password Delay", delay);
  SetRegistryNumber(screenSaversKey, "Password Delay Index", delayIndex);
  SetRegistryNumber(screenSaversKey, "Mouse Threshold", threshold);
  SetRegistryNumber(screenSaversKey, "Mouse Threshold Index", thresholdIndex);
  SetRegistryData(screenSaversKey, "Mouse Corners", REG_SZ, corners, 5);
  SetRegistryNumber(screenSaversKey, "Mute Sound", mute);
  SetRegistryNumber(screenSaversKey, "Active Config", activeConfig);
}

// Signalled by any write to the key after Arm.
class RegistryWatch {
 public:
  RegistryWatch() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    RegOpenKeyExA(HKEY_CURRENT_USER, screenSaversKey, 0, KEY_NOTIFY, &key_);
  }
  ~RegistryWatch() {
    if (key_) RegCloseKey(key_);
    CloseHandle(event_);
  }
  void Arm() {
    ResetEvent(event_);
    RegNotifyChangeKeyValue(key_, FALSE, REG_NOTIFY_CHANGE_LAST_SET, event_, TRUE);
  }
  bool Written() const { return WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }

 private:
  HKEY key_ = nullptr;
  HANDLE event_;
};

bool SameSettings(const ScrSettings& a, const ScrSettings& b) {
  return std::memcmp(a.corners, b.corners, sizeof a.corners) == 0 && a.muteSound == b.muteSound &&
         a.mouseThreshold == b.mouseThreshold && a.passwordDelay == b.passwordDelay &&
         a.activeConfig == b.activeConfig;
}

ScrSettings RegistrySettings() {
  ScrSettings settings = {};
  ScrGetSettings(&settings);
  return settings;
}

// ---- The fixture ----

class GeneralPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    EnsureLibrary();
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_UPDOWN_CLASS;
    InitCommonControlsEx(&controls);
    CreateSheetOwner();
  }
  void SetUp() override {
    saved_ = SaveSettings();
    SetOffers(1, 0);
    SetEnvironmentVariableA("MORVANE_STANDIN_AGENTS", nullptr);
  }
  void TearDown() override {
    RestoreSettings(saved_);
    ResetPrefs();
    helpCall = WinHelpA;
    for (const char* variable : {"MORVANE_STANDIN_AGENTS", "MORVANE_STANDIN_SAGE_DETECT",
                                 "MORVANE_STANDIN_SCRHOTS_DETECT"}) {
      SetEnvironmentVariableA(variable, nullptr);
    }
  }
  static void SetOffers(int offerMuteSound, int allowActiveConfig, int always = 0, int never = 0) {
    ChangePrefs([&](ScrPrefs& prefs) {
      prefs.offerMuteSound = offerMuteSound;
      prefs.allowActiveConfig = allowActiveConfig;
      prefs.alwaysPassword = always;
      prefs.neverPassword = never;
    });
  }
  StandInLog log;

 private:
  std::vector<SavedValue> saved_;
};

TEST_F(GeneralPage, SetUpShowsTheStoredSettingsWithoutWritingAndCancelKeepsThemUnwritten) {
  const struct { int offerMuteSound, allowActiveConfig; } rows[] = {{1, 0}, {0, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.offerMuteSound ? "mute offered" : "active configuration offered");
    SetOffers(row.offerMuteSound, row.allowActiveConfig);
    // NOTE: Wine signals no change for a value rewritten with the same data. An index of 7 reads
    // as 1 and would be written back as 1: any write at all changes the key.
    StoreSettings(90, 7, 400, 2, "YN-N", 1, 1);
    RegistryWatch watch;
    watch.Arm();
    RunGeneralSheet([&](HWND, HWND page) {
      EXPECT_FALSE(watch.Written()) << "set-up writes nothing";
      EXPECT_EQ(DWORD(MS_CORNERS | MS_CTOPLEFTNOW | MS_CTOPRIGHTNEV | MS_CBOTLEFTNEV),
                Style(Item(page, IDC_CORNERS)) & 0xFF3u);
      EXPECT_EQ("1", Text(Item(page, IDC_DELAY))) << "90 seconds in whole minutes";
      EXPECT_EQ((std::vector<std::string>{"seconds", "minutes"}),
                ComboTexts(Item(page, IDC_DELAY_UNIT)));
      EXPECT_EQ(1, SendMessageA(Item(page, IDC_DELAY_UNIT), CB_GETCURSEL, 0, 0));
      EXPECT_EQ((std::vector<std::string>{"High", "Normal", "Low",
                                          "Keyboard only (ignore mouse movement)"}),
                ComboTexts(Item(page, IDC_SENSITIVITY)));
      EXPECT_EQ(2, SendMessageA(Item(page, IDC_SENSITIVITY), CB_GETCURSEL, 0, 0));
      int low = -1, high = -1;
      SendMessageA(Item(page, IDC_DELAY_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                   reinterpret_cast<LPARAM>(&high));
      EXPECT_EQ(0, low);
      EXPECT_EQ(99, high);
      EXPECT_TRUE(Shown(page, IDC_DELAY) && Shown(page, IDC_DELAY_UNIT));
      EXPECT_FALSE(Shown(page, IDC_PASSWORD_TEXT));
      // A setting that is not offered is neither read nor shown.
      EXPECT_EQ(row.offerMuteSound != 0, Shown(page, IDC_MUTE) && Enabled(page, IDC_MUTE));
      EXPECT_EQ(row.offerMuteSound != 0, IsDlgButtonChecked(page, IDC_MUTE) == BST_CHECKED);
      EXPECT_EQ(row.allowActiveConfig != 0,
                Shown(page, IDC_ACTIVE_CONFIG) && Enabled(page, IDC_ACTIVE_CONFIG));
      EXPECT_EQ(row.allowActiveConfig != 0,
                IsDlgButtonChecked(page, IDC_ACTIVE_CONFIG) == BST_CHECKED);
      // Nor is it read back, whatever the hidden box says.
      int hiddenBox = row.offerMuteSound ? IDC_ACTIVE_CONFIG : IDC_MUTE;
      SendMessageA(Item(page, hiddenBox), BM_SETCHECK, BST_CHECKED, 0);
      Command(page, hiddenBox, BN_CLICKED);
      EXPECT_TRUE(notices.empty());
    });
    EXPECT_FALSE(watch.Written()) << "Cancel without a change writes nothing";
    EXPECT_TRUE(notices.empty()) << "and sends nothing";
  }
}

struct Step {
  const char* what;
  std::function<void(HWND page)> act;
  const char* value;     // the registry value the step changes
  const char* expected;  // its stored text
  size_t notices;        // new notices: 1 when the step changed a setting, else 0
};

TEST_F(GeneralPage, EachChangeIsStoredAtOnceAndSentAsOneNoticeAndCancelRestoresAll) {
  StoreSettings(60, 0, 0, 0, "----", 0, 0);
  ScrSettings before = RegistrySettings();
  const Step steps[] = {
      {"top-left Now", [](HWND p) { SetCornerBits(p, 0x30, 0x10); }, "Mouse Corners", "Y---", 1},
      {"bottom-right Never", [](HWND p) { SetCornerBits(p, 0x300, 0x200); }, "Mouse Corners",
       "Y-N-", 1},
      {"bottom-right both bits: Default", [](HWND p) { SetCornerBits(p, 0x300, 0x300); },
       "Mouse Corners", "Y---", 1},
      {"Keyboard only", [](HWND p) { Choose(p, IDC_SENSITIVITY, 3); }, "Mouse Threshold", "999999",
       1},
      {"its index", [](HWND) {}, "Mouse Threshold Index", "3", 0},
      {"High", [](HWND p) { Choose(p, IDC_SENSITIVITY, 0); }, "Mouse Threshold", "0", 1},
      {"High again", [](HWND p) { Choose(p, IDC_SENSITIVITY, 0); }, "Mouse Threshold Index", "0",
       0},
      {"minutes with 60 shown", [](HWND p) { Choose(p, IDC_DELAY_UNIT, 1); }, "Password Delay",
       "3600", 1},
      {"its unit", [](HWND) {}, "Password Delay Index", "1", 0},
      {"2 minutes", [](HWND p) { TypeOver(p, "2"); }, "Password Delay", "120", 1},
      {"a huge number of minutes", [](HWND p) { TypeOver(p, "99999999"); }, "Password Delay",
       "2147483647", 1},
      {"a huge negative one", [](HWND p) { TypeOver(p, "-99999999"); }, "Password Delay",
       "-2147483648", 1},
      {"seconds", [](HWND p) { Choose(p, IDC_DELAY_UNIT, 0); }, "Password Delay", "-99999999", 1},
      {"hexadecimal", [](HWND p) { TypeOver(p, "0x10"); }, "Password Delay", "16", 1},
      {"octal", [](HWND p) { TypeOver(p, "010"); }, "Password Delay", "8", 1},
      {"above the arrows' range", [](HWND p) { TypeOver(p, "150"); }, "Password Delay", "150", 1},
      {"no number", [](HWND p) { TypeOver(p, "abc"); }, "Password Delay", "150", 0},
      // The box is narrow and does not scroll: it takes two or three characters.
      {"key 4 over the text", [](HWND p) { SelectAllAndKey(p, '4'); }, "Password Delay", "4", 1},
      {"key 5", [](HWND p) { Key(p, '5'); }, "Password Delay", "45", 1},
      {"backspace", [](HWND p) { Key(p, '\b'); }, "Password Delay", "4", 1},
      {"a blank over the text", [](HWND p) { SelectAllAndKey(p, ' '); }, "Password Delay", "4", 0},
      {"key 7 after the blank", [](HWND p) { Key(p, '7'); }, "Password Delay", "7", 1},
      {"backspace to the blank", [](HWND p) { Key(p, '\b'); }, "Password Delay", "7", 0},
      {"a command without a control", [](HWND p) { SendMessageA(p, WM_COMMAND, IDC_MUTE, 0); },
       "Mute Sound", "0", 0},
      {"mute ticked", [](HWND p) { SendMessageA(Item(p, IDC_MUTE), BM_CLICK, 0, 0); }, "Mute Sound",
       "1", 1},
  };
  RunGeneralSheet([&](HWND sheet, HWND page) {
    for (const Step& step : steps) {
      SCOPED_TRACE(step.what);
      size_t count = notices.size();
      step.act(page);
      EXPECT_EQ(step.expected, Stored(step.value))
          << "the box shows " << Text(Item(page, IDC_DELAY));
      ASSERT_EQ(count + step.notices, notices.size());
      if (!step.notices) continue;
      const Notice& notice = notices.back();
      EXPECT_EQ(NoticeGeneralChanged, notice.flags);
      EXPECT_EQ(sheet, notice.source);
      EXPECT_EQ(0u, notice.wParam);
      EXPECT_EQ(24, notice.summary.size);
      EXPECT_TRUE(SameSettings(RegistrySettings(), notice.summary))
          << "the summary is what is stored";
    }
    Press(sheet, PSBTN_CANCEL);
  });
  size_t changes = 0;
  for (const Step& step : steps) changes += step.notices;
  ASSERT_EQ(changes + 1, notices.size());
  EXPECT_EQ(NoticeGeneralChanged, notices.back().flags) << "the revert's notice";
  EXPECT_TRUE(SameSettings(before, notices.back().summary));
  EXPECT_TRUE(SameSettings(before, RegistrySettings()));
  EXPECT_EQ("----", Stored("Mouse Corners"));
  EXPECT_EQ("0", Stored("Password Delay Index"));
  EXPECT_EQ("0", Stored("Mouse Threshold Index"));
}

// The box shows 90 s as "1" minute. Moving through the page (the edit taking the focus, another
// control changing) leaves the 90 s alone; the user typing "1" over it means 1 minute.
TEST_F(GeneralPage, RetypingTheShownDelayTakesWhatIsTypedWhileFocusKeepsTheStoredSeconds) {
  const struct {
    const char* what;
    std::function<void(HWND page)> retype;
  } rows[] = {
      {"keyed over the selected text", [](HWND p) { SelectAllAndKey(p, '1'); }},
      {"set as the edit's text", [](HWND p) { TypeOver(p, "1"); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    StoreSettings(90, 1, 0, 0, "----", 0, 0);
    RunGeneralSheet([&](HWND sheet, HWND page) {
      ASSERT_EQ("1", Text(Item(page, IDC_DELAY)));
      // As the tab key moves the focus: the edit reports it and its text is selected.
      SendMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(page, IDC_DELAY)), TRUE);
      ASSERT_EQ(Item(page, IDC_DELAY), GetFocus());
      EXPECT_EQ("90", Stored("Password Delay")) << "focus changes nothing";
      EXPECT_TRUE(notices.empty());
      Choose(page, IDC_SENSITIVITY, 2);
      ASSERT_EQ(1u, notices.size());
      EXPECT_EQ(90, notices.back().summary.passwordDelay) << "another control keeps the 90 s";
      EXPECT_EQ("90", Stored("Password Delay"));

      row.retype(page);
      EXPECT_EQ("1", Text(Item(page, IDC_DELAY)));
      EXPECT_EQ("60", Stored("Password Delay")) << "1 minute as typed";
      ASSERT_EQ(2u, notices.size());
      EXPECT_EQ(60, notices.back().summary.passwordDelay);
      Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ("60", Stored("Password Delay")) << "OK keeps it";
    EXPECT_EQ("1", Stored("Password Delay Index"));
  }
}

// The WM_WININICHANGE broadcasts a window of another process hears while it runs.
class SettingsListener {
 public:
  SettingsListener() {
    std::string eventName = "GeneralPageListener" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    std::string command = ProgramFolder() + "general_listener.exe " + eventName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process_)) {
      CloseHandle(process_.hThread);
      HANDLE waits[] = {ready, process_.hProcess};
      started_ = WaitForMultipleObjects(2, waits, FALSE, 10000) == WAIT_OBJECT_0;
    }
    CloseHandle(ready);
  }
  ~SettingsListener() {
    if (!process_.hProcess) return;
    if (HWND window = FindWindowA("MorvaneSettingsListenerClass", nullptr)) {
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hProcess);
  }
  bool Started() const { return started_; }

 private:
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

void SetAgents(const char* present, int sageAnswer, int scrhotsAnswer) {
  SetEnvironmentVariableA("MORVANE_STANDIN_AGENTS", present);
  SetEnvironmentVariableA("MORVANE_STANDIN_SAGE_DETECT", std::to_string(sageAnswer).c_str());
  SetEnvironmentVariableA("MORVANE_STANDIN_SCRHOTS_DETECT", std::to_string(scrhotsAnswer).c_str());
}

TEST_F(GeneralPage, OkSendsTheAppliedNoticeAndBroadcastsToOtherProcessesWithoutTheAgents) {
  StoreSettings(60, 0, 0, 0, "----", 0, 0);
  SetAgents("sage,scrhots", 1, 1);
  SettingsListener listener;
  ASSERT_TRUE(listener.Started());
  int result = RunGeneralSheet([&](HWND sheet, HWND page) {
    Choose(page, IDC_SENSITIVITY, 2);
    EXPECT_EQ(1u, log.Matching("sage changed").size());
    EXPECT_EQ(1u, log.Matching("scrhots changed").size());
    EXPECT_TRUE(log.Matching("listener").empty()) << "a change is not broadcast";
    Press(sheet, PSBTN_OK);
  });
  EXPECT_EQ(1, result);
  ASSERT_EQ(2u, notices.size());
  EXPECT_EQ(NoticeGeneralApplied, notices[1].flags);
  EXPECT_EQ(400, notices[1].summary.mouseThreshold);
  EXPECT_EQ("400", Stored("Mouse Threshold")) << "OK keeps the change";
  // The broadcast is synchronous: the listener has logged it before OK returned.
  std::vector<std::string> heard = log.Matching("listener wininichange");
  ASSERT_EQ(1u, heard.size());
  EXPECT_EQ("listener wininichange wparam=0 text=Windows", heard[0]);
  EXPECT_EQ(1u, log.Matching("sage changed").size()) << "OK does not call the agents";
  EXPECT_EQ(1u, log.Matching("scrhots changed").size());
}

TEST_F(GeneralPage, APasswordDeclarationReplacesTheDelayRowWhichKeepsItsStoredValues) {
  const struct {
    int always, never;
    const char* text;
  } rows[] = {{1, 0, "This screensaver always uses a password"},
              {0, 1, "This screensaver never requires a password"},
              {1, 1, "This screensaver always uses a password"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    SetOffers(1, 0, row.always, row.never);
    StoreSettings(90, 1, 0, 0, "----", 0, 0);
    RunGeneralSheet([&](HWND sheet, HWND page) {
      EXPECT_TRUE(Shown(page, IDC_PASSWORD_TEXT));
      EXPECT_EQ(row.text, Text(Item(page, IDC_PASSWORD_TEXT)));
      for (int id : {IDC_WAIT_LABEL, IDC_DELAY, IDC_DELAY_SPIN, IDC_DELAY_UNIT, IDC_DELAY_TAIL}) {
        EXPECT_FALSE(Shown(page, id)) << id;
      }
      for (int id : {IDC_DELAY, IDC_DELAY_SPIN, IDC_DELAY_UNIT}) {
        EXPECT_FALSE(Enabled(page, id)) << id;
      }
      EXPECT_EQ("", Text(Item(page, IDC_DELAY)));
      EXPECT_EQ(0, SendMessageA(Item(page, IDC_DELAY_UNIT), CB_GETCOUNT, 0, 0));
      Choose(page, IDC_SENSITIVITY, 1);
      ASSERT_EQ(1u, notices.size());
      EXPECT_EQ(90, notices[0].summary.passwordDelay);
      Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ("90", Stored("Password Delay"));
    EXPECT_EQ("1", Stored("Password Delay Index"));
    EXPECT_EQ("200", Stored("Mouse Threshold"));
  }
}

// ---- The System Agent ----

TEST_F(GeneralPage, TheCornerTextsFollowTheAgentsAndScrHotsHasTheLastWord) {
  const struct {
    const char* present;
    int sage, scrhots;
    int detected;
  } rows[] = {{"", 1, 1, 0},        {"sage", 1, 1, 1},         {"sage", 0, 1, 0},
              {"scrhots", 1, 5, 5}, {"sage,scrhots", 1, 0, 0}, {"sage,scrhots", 0, 1, 1}};
  for (const auto& row : rows) {
    std::string what = std::string("present: ") + row.present + " sage " +
                       std::to_string(row.sage) + " scrhots " + std::to_string(row.scrhots);
    SCOPED_TRACE(what);
    SetAgents(row.present, row.sage, row.scrhots);
    libraryState.systemAgentPresent = -1;
    StandInLog rowLog;
    RunGeneralSheet([&](HWND, HWND page) {
      EXPECT_EQ(row.detected, libraryState.systemAgentPresent);
      EXPECT_EQ(row.detected != 0, Shown(page, IDC_CORNERS_TEXT));
      EXPECT_EQ(row.detected == 0, Shown(page, IDC_AGENT_TEXT));
    });
    bool sage = std::strstr(row.present, "sage") != nullptr;
    bool scrhots = std::strstr(row.present, "scrhots") != nullptr;
    std::vector<std::string> sageCalls = rowLog.Matching("sage detect");
    ASSERT_EQ(sage ? 1u : 0u, sageCalls.size());
    if (sage) {
      EXPECT_EQ("sage detect answer=" + std::to_string(row.sage) + " module=" + ProgramFolder() +
                    "Sage.DLL",
                sageCalls[0]);
    }
    EXPECT_EQ(scrhots ? 1u : 0u, rowLog.Matching("scrhots detect").size());
    EXPECT_TRUE(rowLog.Matching("sage changed").empty()) << "set-up changes nothing";
  }
}

int RunAgentProbe(const std::string& folder) {
  std::string command = folder + "agent_probe\\general_agent_probe.exe";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    return -1;
  }
  CloseHandle(process.hThread);
  DWORD code = 99;
  if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 98);
  }
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

TEST_F(GeneralPage, TheAgentsComeFromTheProgramsFolderNeverFromTheCurrentFolderOrPath) {
  SetAgents("sage,scrhots", 7, 0);
  std::string folder = ProgramFolder();
  // The probe runs from a folder of its own, with this folder current and first on PATH.
  char path[4096] = {};
  GetEnvironmentVariableA("PATH", path, sizeof path);
  SetEnvironmentVariableA("PATH", (folder + ";" + path).c_str());
  EXPECT_EQ(0, RunAgentProbe(folder));
  EXPECT_TRUE(log.Lines().empty()) << log.Lines()[0];

  std::string planted = folder + "agent_probe\\Sage.DLL";
  ASSERT_TRUE(CopyFileA((folder + "Sage.DLL").c_str(), planted.c_str(), FALSE));
  EXPECT_EQ(7, RunAgentProbe(folder)) << "beside the program it is found";
  DeleteFileA(planted.c_str());
  SetEnvironmentVariableA("PATH", path);
  EXPECT_EQ((std::vector<std::string>{"sage detect answer=7 module=" + planted,
                                      "sage changed module=" + planted}),
            log.Lines());
}

// ---- Help ----

struct HelpCall {
  HWND window;
  std::string file;
  UINT command;
  std::vector<DWORD> table;  // up to and including the closing pair
  const DWORD* data;
};
std::vector<HelpCall> helpCalls;

BOOL WINAPI RecordHelpCall(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
  const DWORD* table = reinterpret_cast<const DWORD*>(data);
  HelpCall call{window, file, command, {}, table};
  for (size_t i = 0; i < 64; i += 2) {
    call.table.push_back(table[i]);
    call.table.push_back(table[i + 1]);
    if (!table[i] && !table[i + 1]) break;
  }
  helpCalls.push_back(call);
  return 5;
}

// A help file of the framework's name in the current folder, for as long as it lives.
class HelpFileInCurrentFolder {
 public:
  HelpFileInCurrentFolder() {
    HANDLE file = CreateFileA("morvane.hlp", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    created_ = file != INVALID_HANDLE_VALUE;
    if (created_) CloseHandle(file);
  }
  ~HelpFileInCurrentFolder() {
    if (created_) DeleteFileA("morvane.hlp");
  }
  bool Created() const { return created_; }

 private:
  bool created_;
};

void AskHelp(HWND page, int id, bool contextMenu) {
  HWND control = Item(page, id);
  if (contextMenu) {
    SendMessageA(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(10, 10));
    return;
  }
  HELPINFO info = {sizeof info, HELPINFO_WINDOW, id, control, 0, {10, 10}};
  SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

TEST_F(GeneralPage, HelpUsesTheFrameworksFileForActiveConfigurationElsePlusWhenItIsMissing) {
  SetOffers(1, 1);
  helpCall = RecordHelpCall;
  const struct {
    int id;
    bool contextMenu;
    bool fileExists;
    const char* file;
  } rows[] = {
      {IDC_ACTIVE_CONFIG, false, false, "morvane.hlp"},
      {IDC_ACTIVE_CONFIG, true, false, "morvane.hlp"},
      {IDC_SENSITIVITY, false, false, "Plus!.HLP"},
      {IDC_CORNERS, true, false, "Plus!.HLP"},
      {IDC_SENSITIVITY, false, true, "morvane.hlp"},
      {IDC_MUTE, true, true, "morvane.hlp"},
  };
  RunGeneralSheet([&](HWND, HWND page) {
    for (const auto& row : rows) {
      SCOPED_TRACE(std::to_string(row.id) + (row.contextMenu ? " context menu" : " F1") +
                   (row.fileExists ? " with morvane.hlp" : ""));
      HelpFileInCurrentFolder* file = row.fileExists ? new HelpFileInCurrentFolder : nullptr;
      if (file) {
        ASSERT_TRUE(file->Created());
      }
      helpCalls.clear();
      AskHelp(page, row.id, row.contextMenu);
      delete file;
      ASSERT_EQ(1u, helpCalls.size());
      EXPECT_EQ(Item(page, row.id), helpCalls[0].window);
      EXPECT_EQ(row.file, helpCalls[0].file);
      EXPECT_EQ(UINT(row.contextMenu ? HELP_CONTEXTMENU : HELP_WM_HELP), helpCalls[0].command);
      EXPECT_EQ(HelpIdTable, helpCalls[0].data);
    }
  });
}

TEST_F(GeneralPage, ScrHelpGivesTheControlsOwnHelpIdFromTheSameFiles) {
  helpCall = RecordHelpCall;
  helpCalls.clear();
  HWND parent = CreatePlainWindow();
  HWND control = CreateWindowExA(0, "Button", "x", WS_CHILD, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(2345), GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(5, ScrHelp(control, HELP_CONTEXTMENU, 3106));
  EXPECT_EQ(5, ScrHelp(control, HELP_WM_HELP, 3101));
  {
    HelpFileInCurrentFolder file;
    ASSERT_TRUE(file.Created());
    EXPECT_EQ(5, ScrHelp(control, HELP_WM_HELP, 3102));
  }
  ASSERT_EQ(3u, helpCalls.size());
  const struct {
    const char* file;
    UINT command;
    DWORD helpId;
  } expected[] = {{"morvane.hlp", HELP_CONTEXTMENU, 3106},
                  {"Plus!.HLP", HELP_WM_HELP, 3101},
                  {"morvane.hlp", HELP_WM_HELP, 3102}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(control, helpCalls[i].window) << i;
    EXPECT_EQ(expected[i].file, helpCalls[i].file) << i;
    EXPECT_EQ(expected[i].command, helpCalls[i].command) << i;
    EXPECT_EQ((std::vector<DWORD>{2345, expected[i].helpId, 0, 0}), helpCalls[i].table) << i;
  }
  DestroyWindow(parent);
}

// winhlp32's box for a file it cannot find: its text, answered No.
struct ForeignBox {
  std::string text;
  bool answered = false;
};

BOOL CALLBACK FindForeignBox(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  bool foreignBox = process != GetCurrentProcessId() && std::strcmp(className, "#32770") == 0;
  if (!foreignBox || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

DWORD WINAPI AnswerForeignBox(void* parameter) {
  ForeignBox* box = static_cast<ForeignBox*>(parameter);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(20)) {
    HWND found = nullptr;
    EnumWindows(FindForeignBox, reinterpret_cast<LPARAM>(&found));
    if (!found) continue;
    char text[300] = {};
    GetDlgItemTextA(found, 0xFFFF, text, sizeof text);
    box->text = text;
    // NOTE: a click sent to the box's button from here does not close it under Wine; the
    // button's command posted to the box does.
    box->answered = PostMessageA(found, WM_COMMAND, IDNO, 0) != FALSE;
    return 0;
  }
  return 0;
}

TEST_F(GeneralPage, TheSystemsHelpIsCalledForRealAndReturnsOnceItsBoxIsAnswered) {
  HWND parent = CreatePlainWindow();
  HWND control = CreateWindowExA(0, "Button", "x", WS_CHILD, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(2345), GetModuleHandleA(nullptr), nullptr);
  ForeignBox box;
  HANDLE answerer = CreateThread(nullptr, 0, AnswerForeignBox, &box, 0, nullptr);
  // NOTE: Wine's WinHelpA passes on only the classic commands (it drops HELP_WM_HELP and
  // HELP_CONTEXTMENU without a word); HELP_CONTEXT makes winhlp32 open the file.
  ScrHelp(control, HELP_CONTEXT, 3101);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(answerer, 20000));
  CloseHandle(answerer);
  EXPECT_TRUE(box.answered);
  EXPECT_NE(std::string::npos, box.text.find("Plus!.HLP")) << box.text;
  DestroyWindow(parent);
}

}  // namespace

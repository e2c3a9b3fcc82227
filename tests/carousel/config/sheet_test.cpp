// Carousel's page in the framework's sheet, as a person uses it: the sheet opens on it, its choices
// are stored on OK and only then, Preview runs what the page shows and Settings the selected
// saver's own "/c". The sheet runs in a process of its own (this program with "/c"), on its main
// thread, while a second thread reads and works the page.
#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "config_support.h"
#include "morvane.h"
#include "page_resources.h"
#include "settings_page.h"
#include "settings_store.h"

using namespace carousel;

namespace {

struct Row {
  std::string label;
  bool checked;
};

BOOL CALLBACK FindSheetOfThisProcess(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      FindWindowExA(window, nullptr, WC_TABCONTROLA, nullptr)) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND AwaitSheet() {
  for (int tries = 0; tries < 1000; ++tries) {
    HWND sheet = nullptr;
    EnumWindows(FindSheetOfThisProcess, reinterpret_cast<LPARAM>(&sheet));
    if (sheet) return sheet;
    Sleep(20);
  }
  return nullptr;
}

struct BoxSearch {
  HWND box = nullptr;
};

BOOL CALLBACK FindMessageBoxOfThisProcess(HWND window, LPARAM found) {
  DWORD process = 0;
  char className[16] = {};
  GetWindowThreadProcessId(window, &process);
  GetClassNameA(window, className, sizeof className);
  if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
      std::string(className) == "#32770" && GetDlgItem(window, 0xFFFF)) {
    reinterpret_cast<BoxSearch*>(found)->box = window;
    return FALSE;
  }
  return TRUE;
}

// The text of the message box the sheet's thread shows, answered with OK; empty when none comes.
std::string AnswerMessageBox() {
  for (int tries = 0; tries < 500; ++tries) {
    BoxSearch search;
    EnumWindows(FindMessageBoxOfThisProcess, reinterpret_cast<LPARAM>(&search));
    if (search.box) {
      char text[256] = {};
      GetDlgItemTextA(search.box, 0xFFFF, text, sizeof text);
      PostMessageA(search.box, WM_COMMAND, IDOK, 0);
      while (IsWindow(search.box) && tries++ < 500) Sleep(10);
      return text;
    }
    Sleep(20);
  }
  return "";
}

HWND PageOf(HWND sheet) {
  return PropSheet_GetCurrentPageHwnd(sheet);
}
HWND ListOf(HWND sheet) {
  return GetDlgItem(PageOf(sheet), IDC_CAROUSEL_SAVERS);
}

std::vector<Row> RowsOf(HWND list) {
  std::vector<Row> rows;
  const int count = ListView_GetItemCount(list);
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    ListView_GetItemText(list, i, 0, text, sizeof text);
    rows.push_back({text, ListView_GetCheckState(list, i) != 0});
  }
  return rows;
}

void Select(HWND list, int row) {
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void Click(HWND page, int control) {
  SendDlgItemMessageA(page, control, BM_CLICK, 0, 0);
}

// A real mouse click on the row's checkbox, at the left end of the row.
bool ClickCheckbox(HWND sheet, int row) {
  HWND list = ListOf(sheet);
  const bool before = ListView_GetCheckState(list, row) != 0;
  RECT bounds = {};
  ListView_GetItemRect(list, row, &bounds, LVIR_BOUNDS);
  POINT point = {bounds.left + 8, (bounds.top + bounds.bottom) / 2};
  ClientToScreen(list, &point);
  SetForegroundWindow(sheet);
  SetCursorPos(point.x, point.y);
  INPUT clicks[2] = {};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, clicks, sizeof(INPUT));
  for (int tries = 0; tries < 250; ++tries) {
    if ((ListView_GetCheckState(list, row) != 0) != before) return true;
    Sleep(20);
  }
  return false;
}

std::string StoredInSystem(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, sizeof folder);
  return std::string(folder) + "\\" + name;
}

// The stand-in savers in the system's folder, and what is stored before each run: b, then a.
class CarouselSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFileA(BesideTest("carousel_standin_saver.exe").c_str(), b.c_str(), FALSE);
    CopyFileA(BesideTest("carousel_nameless_saver.exe").c_str(), a.c_str(), FALSE);
    CopyFileA(ThisProgram().c_str(), self.c_str(), FALSE);
    RemoveCarouselKey();
    stored.savers = {b, a};
    stored.cycleSeconds = 90;
    ASSERT_TRUE(WriteSettings(stored));
    RegisterPageControls();
  }
  void TearDown() override {
    for (const std::string& path : {a, b, self}) DeleteFileA(path.c_str());
    RemoveCarouselKey();
  }

  // The configuration run (ScrMain with this program's "/c") while script works the sheet from a
  // second thread, which then presses button. The run's result.
  int RunSheet(const std::function<void(HWND sheet)>& script, int button) {
    std::thread driver([&] {
      HWND sheet = AwaitSheet();
      if (!sheet) return;
      script(sheet);
      PropSheet_PressButton(sheet, button);
    });
    const int result =
        ScrMain(GetModuleHandleA(nullptr), DefSaverProc, CarouselPageProc, nullptr, 0);
    driver.join();
    return result;
  }

  const std::string a = StoredInSystem("zzcarousel_a.scr");
  const std::string b = StoredInSystem("zzcarousel_b.scr");
  const std::string self = StoredInSystem("zzcarousel_self.scr");
  Settings stored;
};

TEST_F(CarouselSheet, CancelKeepsWhatIsStoredWhilePreviewAndSettingsUseWhatThePageShows) {
  stored.savers.push_back(StoredInSystem("zzcarousel_gone.scr"));
  ASSERT_TRUE(WriteSettings(stored));
  const int result = RunSheet(
      [&](HWND sheet) {
        // Opened on the saver's own page, the stored savers first in their order.
        EXPECT_EQ(1, TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet)));
        HWND page = PageOf(sheet);
        HWND list = ListOf(sheet);
        ASSERT_TRUE(list);
        const std::vector<Row> rows = RowsOf(list);
        ASSERT_GE(rows.size(), 3u);
        EXPECT_EQ("Stand-in Saver", rows[0].label);
        EXPECT_EQ("zzcarousel_a", rows[1].label);
        EXPECT_EQ("zzcarousel_gone (skipped: missing)", rows[2].label);
        EXPECT_TRUE(rows[0].checked && rows[1].checked && rows[2].checked);
        for (size_t i = 3; i < rows.size(); ++i) {
          EXPECT_FALSE(rows[i].checked) << rows[i].label;
          EXPECT_NE("Carousel", rows[i].label);
          EXPECT_NE("zzcarousel_self", rows[i].label);
        }
        char cycle[16] = {};
        GetDlgItemTextA(page, IDC_CAROUSEL_CYCLE, cycle, sizeof cycle);
        EXPECT_STREQ("2", cycle);  // 90 s, rounded up so that it never reads as "never"
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_CAROUSEL_EACH));
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_CAROUSEL_LIST));

        ASSERT_TRUE(ClickCheckbox(sheet, 0));
        Select(list, 1);
        Click(page, IDC_CAROUSEL_UP);
        Click(page, IDC_CAROUSEL_SAME);
        Click(page, IDC_CAROUSEL_RANDOM);
        SetDlgItemTextA(page, IDC_CAROUSEL_CYCLE, "5");
        const std::vector<Row> moved = RowsOf(list);
        EXPECT_EQ("zzcarousel_a", moved[0].label);
        EXPECT_TRUE(moved[0].checked);
        EXPECT_EQ("Stand-in Saver", moved[1].label);
        EXPECT_FALSE(moved[1].checked);

        Click(page, IDC_CAROUSEL_PREVIEW);
        EXPECT_EQ("preview savers=" + a + "|" + StoredInSystem("zzcarousel_gone.scr") +
                      " monitors=same order=random cycle=300",
                  AwaitRecordLine("preview ", 10000));
        Select(list, 1);
        Click(page, IDC_CAROUSEL_SETTINGS);
        char sheetNumber[32];
        std::snprintf(sheetNumber, sizeof sheetNumber, "%lu",
                      static_cast<unsigned long>(reinterpret_cast<uintptr_t>(sheet)));
        EXPECT_EQ("standin \"" + b + "\" /c:" + sheetNumber, AwaitRecordLine("standin ", 10000));
      },
      PSBTN_CANCEL);
  EXPECT_EQ(0, result);
  EXPECT_EQ(DescribeSettings(stored), DescribeSettings(ReadSettings()));
}

TEST_F(CarouselSheet, OkStoresThePagesChoicesButNotAnEmptyList) {
  const int result = RunSheet(
      [&](HWND sheet) {
        HWND page = PageOf(sheet);
        HWND list = ListOf(sheet);
        ASSERT_TRUE(list);
        ListView_SetCheckState(list, 0, FALSE);
        ListView_SetCheckState(list, 1, FALSE);
        PropSheet_PressButton(sheet, PSBTN_OK);
        EXPECT_EQ("Check at least one saver for Carousel to show.", AnswerMessageBox());
        EXPECT_TRUE(IsWindow(sheet) && IsWindowVisible(sheet));
        ListView_SetCheckState(list, 1, TRUE);
        Select(list, 1);
        Click(page, IDC_CAROUSEL_UP);
        Click(page, IDC_CAROUSEL_SAME);
        Click(page, IDC_CAROUSEL_RANDOM);
        SetDlgItemTextA(page, IDC_CAROUSEL_CYCLE, "5");
      },
      PSBTN_OK);
  EXPECT_EQ(1, result);
  EXPECT_EQ("savers=" + a + " monitors=same order=random cycle=300",
            DescribeSettings(ReadSettings()));
}

TEST_F(CarouselSheet, OkWithoutChangesStoresTheSameSettings) {
  EXPECT_EQ(1, RunSheet([](HWND) {}, PSBTN_OK));
  EXPECT_EQ(DescribeSettings(stored), DescribeSettings(ReadSettings()));
}

// The sheet's tests in a configuration run of this program, so that the framework reads "/c".
TEST(CarouselPage, WorksInTheSheetOfAConfigurationRun) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string record =
      std::string(temp) + "carousel_page_" + std::to_string(GetCurrentProcessId()) + ".txt";
  DeleteFileA(record.c_str());
  SetEnvironmentVariableA("CAROUSEL_PAGE_RECORD", record.c_str());
  SetEnvironmentVariableA("CAROUSEL_SHEET_RUN", "1");
  std::string line = "\"" + ThisProgram() + "\" /c";
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             nullptr, &startup, &process));
  SetEnvironmentVariableA("CAROUSEL_SHEET_RUN", nullptr);
  const DWORD waited = WaitForSingleObject(process.hProcess, 90000);
  if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 9);
  DWORD exitCode = 9;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileA(record.c_str());
  EXPECT_EQ(WAIT_OBJECT_0, waited);
  EXPECT_EQ(0u, exitCode) << "the sheet's tests failed: see their output above";
}

}  // namespace

// The sheet's "&About" item, the About box of each variant, and the version it shows.
#include <gtest/gtest.h>

#include "config/config_dialog.h"
#include "settings/prefs.h"
#include "run/saver_run.h"
#include "sheet_support.h"

using namespace morvane;

namespace {

// A system menu's items: id (0 for none), whether a separator, and text.
struct MenuItem {
  UINT id;
  bool separator;
  std::string text;
};

std::vector<MenuItem> MenuItems(HMENU menu) {
  std::vector<MenuItem> items;
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[100] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, i, TRUE, &info);
    items.push_back(MenuItem{info.wID, (info.fType & MFT_SEPARATOR) != 0, text});
  }
  return items;
}

// What the driver saw of the sheet's system menu and of the About box the item opened.
struct MenuSeen {
  std::vector<MenuItem> items;
  LONG_PTR keptProcedure = -1;
  AboutView about;
};

SheetVisit ObserveMenu(MenuSeen* seen, bool openAbout) {
  SheetVisit visit;
  visit.script = [seen, openAbout](HWND sheet) {
    seen->items = MenuItems(GetSystemMenu(sheet, FALSE));
    seen->keptProcedure = GetWindowLongPtrA(HiddenDialogOf(sheet), DWLP_USER);
    if (!openAbout) return;
    PostMessageA(sheet, WM_SYSCOMMAND, 3500, 0);
    seen->about = AwaitAbout(sheet, IDOK);
  };
  return visit;
}

using AboutMenu = ConfigRun;

TEST_F(AboutMenu, TheSystemMenuEndsWithASeparatorAndTheItemThatOpensTheAboutBox) {
  MenuSeen declined;
  currentPrefs.noAboutMenu = 1;
  SheetVisit visit = ObserveMenu(&declined, false);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(1, visit.sheetsSeen);
  ASSERT_FALSE(declined.items.empty());
  for (const MenuItem& item : declined.items) EXPECT_NE(3500u, item.id);
  EXPECT_EQ(0, declined.keptProcedure);  // the sheet was not subclassed

  MenuSeen offered;
  currentPrefs.noAboutMenu = 0;
  visit = ObserveMenu(&offered, true);
  EXPECT_EQ(0, RunConfiguration(owner, 0, &visit));
  ASSERT_EQ(declined.items.size() + 2, offered.items.size());
  const MenuItem& separator = offered.items[offered.items.size() - 2];
  const MenuItem& about = offered.items.back();
  EXPECT_TRUE(separator.separator);
  EXPECT_EQ(1u, separator.id);
  EXPECT_FALSE(about.separator);
  EXPECT_EQ(3500u, about.id);
  EXPECT_EQ("&About", about.text);
  EXPECT_NE(0, offered.keptProcedure);

  ASSERT_TRUE(offered.about.shown);
  EXPECT_EQ("About Morvane", offered.about.caption);
  EXPECT_EQ("Morvane v1.5s", offered.about.versionControlText);
}

using AboutBox = ConfigRun;

TEST_F(AboutBox, ThePlainVariantShowsTheSaversOwnBoxWhenItHasOne) {
  int result = 0;
  AboutView view =
      AnswerAbout([this] { return plainExecutors.executeAbout(owner); }, IDOK, &result);
  EXPECT_EQ(1, result);
  EXPECT_EQ(owner, view.owner);
  EXPECT_EQ("About Morvane", view.caption);
  EXPECT_EQ("Morvane v1.5s", view.versionControlText);

  saverRun.hasOwnAbout = true;
  view = AnswerAbout([this] { return plainExecutors.executeAbout(owner); }, IDCANCEL, &result);
  EXPECT_EQ(2, result);
  EXPECT_EQ("About Test Saver", view.caption);
  EXPECT_EQ("Test saver v1.5s", view.versionControlText);
}

TEST_F(AboutBox, AppendedVersionIsCutToTheRoomLeftAfterALongText) {
  HMODULE saver = LoadSaverModule("sheet_saver_full.dll");
  ASSERT_TRUE(saver);
  saverRun.instance = saver;
  saverRun.hasOwnAbout = true;
  const std::string text =
      "Aurora draws curtains of light that drift and fold across the night sky, for as long as "
      "you let.";
  int result = 0;
  AboutView view =
      AnswerAbout([this] { return plainExecutors.executeAbout(owner); }, IDOK, &result);
  EXPECT_EQ("About Aurora", view.caption);
  EXPECT_EQ(text + " v1", view.versionControlText);  // 99 characters
  FreeLibrary(saver);
}

TEST_F(AboutBox, ASaversBoxWithoutAVersionControlKeepsItsTexts) {
  HMODULE saver = LoadSaverModule("sheet_saver_icon.dll");
  ASSERT_TRUE(saver);
  saverRun.instance = saver;
  saverRun.hasOwnAbout = true;
  int result = 0;
  AboutView view =
      AnswerAbout([this] { return plainExecutors.executeAbout(owner); }, IDOK, &result);
  EXPECT_EQ(1, result);
  EXPECT_EQ("About Plain Saver", view.caption);
  EXPECT_FALSE(view.hasVersionControl);
  EXPECT_EQ((std::vector<std::string>{"Plain Saver", "OK"}), view.controlTexts);
  FreeLibrary(saver);
}

int aboutHookAnswer;
int aboutHookCalls;
HWND aboutHookOwner;

int WINAPI RecordingAboutHook(HWND owner) {
  ++aboutHookCalls;
  aboutHookOwner = owner;
  return aboutHookAnswer;
}

TEST_F(AboutBox, TheHooksVariantAsksItsHookAndNineMeansTheFrameworksBox) {
  int result = 0;
  AboutView view =
      AnswerAbout([this] { return hookedExecutors.executeAbout(owner); }, IDOK, &result);
  EXPECT_EQ("About Morvane", view.caption);  // no hook at all

  saverRun.aboutHook = RecordingAboutHook;
  struct Case {
    int answer;
    bool shown;
    int result;
  } cases[] = {{9, true, 1}, {4, false, 4}, {0, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    aboutHookAnswer = c.answer;
    aboutHookCalls = 0;
    view = AnswerAbout([this] { return hookedExecutors.executeAbout(owner); }, IDOK, &result);
    EXPECT_EQ(c.shown, view.shown);
    EXPECT_EQ(c.result, result);
    EXPECT_EQ(1, aboutHookCalls);
    EXPECT_EQ(owner, aboutHookOwner);
  }
}

LRESULT aboutHostAnswer;
WPARAM aboutHostWParam;
LPARAM aboutHostLParam;
int aboutHostRequests;

LRESULT CALLBACK AboutHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != SCRHOST_ABOUT) return DefHostProc(window, message, wParam, lParam);
  ++aboutHostRequests;
  aboutHostWParam = wParam;
  aboutHostLParam = lParam;
  return aboutHostAnswer;
}

TEST_F(AboutBox, TheHostVariantShowsTheFrameworksBoxOnlyWhenTheHostDoesNot) {
  WNDCLASSA hostClass = {};
  hostClass.lpfnWndProc = AboutHostProc;
  hostClass.hInstance = GetModuleHandleA(nullptr);
  hostClass.lpszClassName = "SheetTestAboutHost";
  RegisterClassA(&hostClass);
  saverRun.hostWindow = CreateWindowExA(0, "SheetTestAboutHost", "", WS_POPUP, 0, 0, 10, 10,
                                        nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  struct Case {
    LRESULT answer;
    bool shown;
    int result;
  } cases[] = {{0, true, 1}, {1, false, 1}, {3, false, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    aboutHostAnswer = c.answer;
    aboutHostRequests = 0;
    int result = 0;
    AboutView view =
        AnswerAbout([this] { return hostedExecutors.executeAbout(owner); }, IDOK, &result);
    EXPECT_EQ(c.shown, view.shown);
    EXPECT_EQ(c.shown ? "About Morvane" : "", view.caption);
    EXPECT_EQ(c.result, result);
    EXPECT_EQ(1, aboutHostRequests);
    EXPECT_EQ(reinterpret_cast<WPARAM>(owner), aboutHostWParam);
    EXPECT_EQ(0, aboutHostLParam);
  }
  DestroyWindow(saverRun.hostWindow);
}

TEST(LibraryVersion, TheLinkedFrameworkReportsItsConstantCutToTheBuffer) {
  EXPECT_EQ(4, GetLibraryVersion(nullptr, 0));
  char buffer[49];
  EXPECT_EQ(4, GetLibraryVersion(buffer, sizeof buffer));
  EXPECT_STREQ("1.5s", buffer);
  EXPECT_EQ(2, GetLibraryVersion(buffer, 3));
  EXPECT_STREQ("1.", buffer);
  EXPECT_EQ(0, GetLibraryVersion(buffer, 1));
  EXPECT_STREQ("", buffer);
  for (int capacity : {0, -1}) {
    buffer[0] = 'x';
    EXPECT_EQ(0, GetLibraryVersion(buffer, capacity));
    EXPECT_EQ('x', buffer[0]);
  }
}

}  // namespace

// The monitor control on pages as a saver author lays them out: its size and place, what it puts
// on the screen, its corner menus under real clicks, and its description for dialog editors.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "core/library.h"
#include "message_box_spy.h"
#include "monitor_fixture.h"
#include "morvane.h"

using namespace morvane;

namespace {

const SIZE picture = {184, 170};
// The mark rectangles' top-left points as the shipped geometry string places them.
const POINT markOrigins[4] = {{16, 17}, {145, 17}, {145, 108}, {16, 108}};
const SIZE mark = {24, 22};
enum { DefaultMark = 3011, NowMark = 3012, NeverMark = 3013 };

HWND Monitor(HWND page) {
  return GetDlgItem(page, MonitorId);
}

POINT ScreenOrigin(HWND window) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  return origin;
}

unsigned PageRgb() {
  return GetRValue(pageColour) << 16 | GetGValue(pageColour) << 8 | GetBValue(pageColour);
}

// What the control must show over the page colour: the mask ANDed, the picture XORed.
unsigned Composed(const Capture& art, int x, int y) {
  return (PageRgb() & art.At(x + picture.cx, y)) ^ art.At(x, y);
}

bool InMark(int corner, int x, int y) {
  return x >= markOrigins[corner].x && x < markOrigins[corner].x + mark.cx &&
         y >= markOrigins[corner].y && y < markOrigins[corner].y + mark.cy;
}

// Pixels of the control on screen that differ from the picture with the given marks (a mark id of
// 0: none at that corner).
int Mismatches(HWND control, const int marks[4]) {
  Capture art = LoadBitmapPixels(3010);
  Capture marksArt[3] = {LoadBitmapPixels(DefaultMark), LoadBitmapPixels(NowMark),
                         LoadBitmapPixels(NeverMark)};
  Capture shot = CaptureScreen(ScreenOrigin(control), picture);
  int wrong = 0;
  for (int y = 0; y < picture.cy; ++y) {
    for (int x = 0; x < picture.cx; ++x) {
      unsigned expected = Composed(art, x, y);
      for (int corner = 0; corner < 4; ++corner) {
        if (marks[corner] && InMark(corner, x, y)) {
          expected = marksArt[marks[corner] - DefaultMark].At(x - markOrigins[corner].x,
                                                              y - markOrigins[corner].y);
        }
      }
      if (shot.At(x, y) != expected) ++wrong;
    }
  }
  return wrong;
}

// Waits for the screen to show the control as expected (painting reaches X asynchronously).
int SettledMismatches(HWND control, const int marks[4]) {
  int wrong = -1;
  PumpUntil([&] { return (wrong = Mismatches(control, marks)) == 0; }, 2000);
  return wrong;
}

LONG LowStyle(HWND control) {
  return static_cast<LONG>(GetWindowLongPtrA(control, GWL_STYLE) & 0xFFFF);
}

class MonitorPage : public ::testing::Test {
 protected:
  void TearDown() override {
    if (page) DestroyWindow(page);
    PumpPending();
  }
  HWND Open(int id) {
    page = OpenPage(id);
    return page;
  }
  HWND page = nullptr;
};

TEST_F(MonitorPage, PlacedAtTwentyByTwentyUnitsBecomesThePictureCentredOnItsPlace) {
  ASSERT_TRUE(Open(CornersPage));
  RECT placed = {40, 60, 60, 80};
  MapDialogRect(page, &placed);
  POINT centre = {(placed.left + placed.right) / 2, (placed.top + placed.bottom) / 2};
  RECT actual;
  GetWindowRect(Monitor(page), &actual);
  MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&actual), 2);
  EXPECT_EQ(centre.x - picture.cx / 2, actual.left);
  EXPECT_EQ(centre.y - picture.cy / 2, actual.top);
  EXPECT_EQ(picture.cx, actual.right - actual.left);
  EXPECT_EQ(picture.cy, actual.bottom - actual.top);
}

TEST_F(MonitorPage, ShowsTheBackgroundThroughTheMaskAndTheMarksOfEachCornerState) {
  ASSERT_TRUE(Open(CornersPage));
  const int never_default_never_default[4] = {NeverMark, DefaultMark, NeverMark, DefaultMark};
  EXPECT_EQ(0, SettledMismatches(Monitor(page), never_default_never_default));
  // The transparent part really is the page: some pixels of the picture show its colour.
  Capture shot = CaptureScreen(ScreenOrigin(Monitor(page)), picture);
  EXPECT_EQ(PageRgb(), shot.At(2, 2));

  // A new style from the parent shows at the next paint.
  SetWindowLongPtrA(Monitor(page), GWL_STYLE,
                    (GetWindowLongPtrA(Monitor(page), GWL_STYLE) & ~0xFF0L) | MS_CTOPRIGHTNOW);
  InvalidateRect(Monitor(page), nullptr, FALSE);
  const int default_now_default_default[4] = {DefaultMark, NowMark, DefaultMark, DefaultMark};
  EXPECT_EQ(0, SettledMismatches(Monitor(page), default_now_default_default));
}

TEST_F(MonitorPage, BothBitsOfACornerReadAsDefault) {
  ASSERT_TRUE(Open(BothBitsPage));
  const int marks[4] = {DefaultMark, DefaultMark, DefaultMark, DefaultMark};
  EXPECT_EQ(0, SettledMismatches(Monitor(page), marks));
}

TEST_F(MonitorPage, NothingModeDrawsThePictureWithoutMarks) {
  ASSERT_TRUE(Open(NothingPage));
  const int none[4] = {0, 0, 0, 0};
  EXPECT_EQ(0, SettledMismatches(Monitor(page), none));
  const int marks[4] = {NeverMark, DefaultMark, NeverMark, DefaultMark};
  EXPECT_GT(Mismatches(Monitor(page), marks), 0);
}

// A person at the screen: clicks a point of the control, waits for the menu, notes which item
// carries the check mark and clicks the chosen item.
struct MenuVisit {
  int checked = -1;  // position of the checked item, -1 when none or no menu opened
  int items = 0;
};

MenuVisit ClickCornerAndChoose(HWND control, POINT point, int choice) {
  MenuVisit visit;
  ClientToScreen(control, &point);
  std::thread person([&] {
    ClickAt(point);
    HWND menuWindow = nullptr;
    for (int i = 0; i < 300 && !(menuWindow = FindWindowA("#32768", nullptr)); ++i) Sleep(10);
    if (!menuWindow) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    visit.items = GetMenuItemCount(menu);
    for (int i = 0; i < visit.items; ++i) {
      if (GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) visit.checked = i;
    }
    RECT item;
    if (choice < 0 || !GetMenuItemRect(nullptr, menu, choice, &item)) {
      PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
      return;
    }
    ClickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  });
  // The menu runs its own loop inside the click's dispatch; this returns once it has closed.
  PumpUntil([&] { return !pageCommands.empty(); }, 3000);
  person.join();
  PumpPending();
  return visit;
}

TEST_F(MonitorPage, ClickedCornerOffersItsMenuAndTheChoiceReachesStyleAndParent) {
  ASSERT_TRUE(Open(CornersPage));
  libraryState.systemAgentPresent = 0;
  libraryState.agentWarningShown = 0;  // as a new initialisation leaves it
  StartAnsweringBoxes();
  HWND control = Monitor(page);

  // Top-left reads Never: the menu shows Never checked; choosing Now sets 0x10 and clears 0x20.
  MenuVisit first = ClickCornerAndChoose(control, {20, 20}, 1);
  EXPECT_EQ(3, first.items);
  EXPECT_EQ(2, first.checked);
  EXPECT_EQ(MS_CORNERS | MS_CTOPLEFTNOW | MS_CBOTRIGHTNEV, LowStyle(control));
  ASSERT_EQ(1u, pageCommands.size());
  EXPECT_EQ(static_cast<WPARAM>(MonitorId), pageCommands[0].wParam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(control), pageCommands[0].lParam);
  const int marks[4] = {NowMark, DefaultMark, NeverMark, DefaultMark};
  EXPECT_EQ(0, SettledMismatches(control, marks));

  // Bottom-left (Default) to Never: the check sits on Default; no second warning.
  pageCommands.clear();
  MenuVisit second = ClickCornerAndChoose(control, {20, 125}, 2);
  EXPECT_EQ(0, second.checked);
  EXPECT_EQ(MS_CORNERS | MS_CTOPLEFTNOW | MS_CBOTRIGHTNEV | MS_CBOTLEFTNEV, LowStyle(control));
  EXPECT_EQ(1u, pageCommands.size());

  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Warning", boxes[0].caption);
  EXPECT_NE(std::string::npos, boxes[0].text.find("System Agent"));
}

TEST_F(MonitorPage, BothBitsAreWrittenBackAsDefaultAndForeignCommandsChangeNothing) {
  ASSERT_TRUE(Open(BothBitsPage));
  StartAnsweringBoxes();
  HWND control = Monitor(page);
  // Choosing bottom-right Now rewrites the top-left field (both bits) as Default.
  SendMessageA(control, WM_COMMAND, 0x1201, 0);
  EXPECT_EQ(MS_CORNERS | MS_CBOTRIGHTNOW, LowStyle(control));
  pageCommands.clear();
  for (WPARAM id : {WPARAM{0x1003}, WPARAM{0x1400}, WPARAM{0x10FF}, WPARAM{0x1F02}}) {
    SendMessageA(control, WM_COMMAND, id, 0);
  }
  EXPECT_EQ(MS_CORNERS | MS_CBOTRIGHTNOW, LowStyle(control));
  EXPECT_TRUE(pageCommands.empty());
  StopAnsweringBoxes();
}

TEST_F(MonitorPage, ANothingModeControlStillOffersItsCornerMenusAndTakesTheChoice) {
  ASSERT_TRUE(Open(NothingPage));
  libraryState.systemAgentPresent = 1;  // no warning in the way
  HWND control = Monitor(page);
  // Top-left reads Never although no mark shows it; choosing Now sets 0x10 and clears 0x20.
  MenuVisit visit = ClickCornerAndChoose(control, {20, 20}, 1);
  EXPECT_EQ(3, visit.items);
  EXPECT_EQ(2, visit.checked);
  EXPECT_EQ(MS_NOTHING | MS_CTOPLEFTNOW | MS_CBOTRIGHTNEV, LowStyle(control));
  ASSERT_EQ(1u, pageCommands.size());
  EXPECT_EQ(static_cast<WPARAM>(MonitorId), pageCommands[0].wParam);
  const int none[4] = {0, 0, 0, 0};
  EXPECT_EQ(0, SettledMismatches(control, none)) << "still no marks";
}

// The inner window of a preview-mode control, recording the clicks it has handled.
WNDPROC innerProcedure;
int innerClicks;

LRESULT CALLBACK CountingInnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(innerProcedure, window, message, wParam, lParam);
  if (message == WM_LBUTTONDOWN) ++innerClicks;
  return result;
}

TEST_F(MonitorPage, APreviewModeControlsCornersBelongToItsInnerWindowAndOpenNoMenu) {
  ASSERT_TRUE(Open(PreviewPage));
  libraryState.systemAgentPresent = 1;
  HWND control = Monitor(page);
  HWND inner = GetWindow(control, GW_CHILD);
  ASSERT_TRUE(inner);
  innerProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingInnerProc)));
  const LONG style = LowStyle(control);
  for (int corner = 0; corner < 4; ++corner) {
    SCOPED_TRACE(corner);
    POINT point = {markOrigins[corner].x + 4, markOrigins[corner].y + 4};
    ClientToScreen(control, &point);
    innerClicks = 0;
    std::atomic<bool> menuSeen{false};
    std::thread person([&] {
      ClickAt(point);
      // Until the click has been handled somewhere: a menu that opens is noted and closed.
      for (int i = 0; i < 300 && !innerClicks; ++i) {
        if (HWND menu = FindWindowA("#32768", nullptr)) {
          if (IsWindowVisible(menu)) {
            menuSeen = true;
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            return;
          }
        }
        Sleep(10);
      }
    });
    PumpUntil([&] { return innerClicks > 0 || menuSeen; }, 3000);
    person.join();
    PumpPending();
    EXPECT_FALSE(menuSeen);
    EXPECT_EQ(1, innerClicks);
  }
  EXPECT_EQ(style, LowStyle(control));
  EXPECT_TRUE(pageCommands.empty());
  SetWindowLongPtrA(inner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(innerProcedure));
}

// A menu's choice as it reaches the control: bottom-right Now.
void ChooseBottomRightNow(HWND control) {
  SendMessageA(control, WM_COMMAND, 0x0201, 0);
}

TEST_F(MonitorPage, TheAgentWarningIsShownOncePerInitialisationWhateverTheControl) {
  libraryState.systemAgentPresent = 0;
  libraryState.agentWarningShown = 0;
  StartAnsweringBoxes();
  ASSERT_TRUE(Open(CornersPage));
  ChooseBottomRightNow(Monitor(page));
  std::vector<ShownBox> first = StopAnsweringBoxes();
  ASSERT_EQ(1u, first.size());
  EXPECT_EQ("Warning", first[0].caption);
  EXPECT_EQ(
      "You must have the System Agent loaded in order for the mouse hot corners to be active.",
      first[0].text);
  EXPECT_EQ(page, first[0].owner);

  // A second control, on a page of its own, and the first one again: silent.
  StartAnsweringBoxes();
  HWND second = OpenPage(BothBitsPage);
  ASSERT_TRUE(second);
  ChooseBottomRightNow(GetDlgItem(second, MonitorId));
  EXPECT_EQ(MS_CORNERS | MS_CBOTRIGHTNOW, LowStyle(GetDlgItem(second, MonitorId)));
  ChooseBottomRightNow(Monitor(page));
  EXPECT_TRUE(StopAnsweringBoxes().empty());

  // A new initialisation warns again, at the first choice.
  DestroyWindow(second);
  DestroyWindow(page);
  page = nullptr;
  PumpPending();
  ASSERT_TRUE(CloseLibrary());
  ASSERT_TRUE(InitLibrary());
  StartAnsweringBoxes();
  ASSERT_TRUE(Open(CornersPage));
  ChooseBottomRightNow(Monitor(page));
  ChooseBottomRightNow(Monitor(page));
  std::vector<ShownBox> again = StopAnsweringBoxes();
  ASSERT_EQ(1u, again.size());
  EXPECT_EQ(first[0].text, again[0].text);
}

TEST(MonitorControlInfo, DescribesTheControlAndItsFifteenStyles) {
  EXPECT_EQ(1u, MonitorControlInfo(nullptr));
  CCINFOA info;
  std::memset(&info, 0x5A, sizeof info);
  ScrGetSettings(nullptr);  // initialises the framework
  ASSERT_EQ(1u, MonitorControlInfo(&info));
  EXPECT_STREQ("MorvaneMonitorClass", info.szClass);
  EXPECT_STREQ("Monitor", info.szDesc);
  EXPECT_STREQ("", info.szTextDefault);
  EXPECT_EQ(static_cast<DWORD>(CCF_NOTEXT), info.flOptions);
  EXPECT_EQ(184u, info.cxDefault);
  EXPECT_EQ(170u, info.cyDefault);
  EXPECT_EQ(0x50000001u, info.flStyleDefault);
  EXPECT_EQ(0u, info.flExtStyleDefault);
  EXPECT_EQ(0xFF3u, info.flCtrlTypeMask);
  EXPECT_EQ(0u, info.dwReserved1);
  EXPECT_EQ(0u, info.dwReserved2);
  ASSERT_EQ(15, info.cStyleFlags);
  struct Row {
    DWORD style, mask;
    const char* name;
  } rows[15] = {{0, 3, "MS_NOTHING"},
                {1, 3, "MS_PREVIEW"},
                {2, 3, "MS_CORNERS"},
                {0, 0x30, "MS_CTOPLEFTDEF"},
                {0x10, 0x10, "MS_CTOPLEFTNOW"},
                {0x20, 0x20, "MS_CTOPLEFTNEV"},
                {0, 0xC0, "MS_CTOPRIGHTDEF"},
                {0x40, 0x40, "MS_CTOPRIGHTNOW"},
                {0x80, 0x80, "MS_CTOPRIGHTNEV"},
                {0, 0x300, "MS_CBOTRIGHTDEF"},
                {0x100, 0x100, "MS_CBOTRIGHTNOW"},
                {0x200, 0x200, "MS_CBOTRIGHTNEV"},
                {0, 0xC00, "MS_CBOTLEFTDEF"},
                {0x400, 0x400, "MS_CBOTLEFTNOW"},
                {0x800, 0x800, "MS_CBOTLEFTNEV"}};
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(rows[i].style, info.aStyleFlags[i].flStyle) << i;
    EXPECT_EQ(rows[i].mask, info.aStyleFlags[i].flStyleMask) << i;
    EXPECT_STREQ(rows[i].name, info.aStyleFlags[i].pszStyle) << i;
  }
  EXPECT_EQ(184, info.lpfnSizeToText(0, 0, nullptr, nullptr));
  StartAnsweringBoxes();
  EXPECT_TRUE(info.lpfnStyle(nullptr, nullptr));
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Custom control", boxes[0].caption);
}

}  // namespace

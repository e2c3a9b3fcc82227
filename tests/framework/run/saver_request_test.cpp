// What a command line asks for, resolved against real windows: numbered windows that exist or not,
// the foreground window, and the companion program found in this process or started for real.
#include "core/library.h"
#include "message_box_spy.h"
#include "saver_fixture.h"
#include "run/saver_run.h"

#include <gtest/gtest.h>

#include <string>

using namespace morvane;

namespace {

std::string Number(HWND window, const char* format) {
  char text[32];
  wsprintfA(text, format, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)));
  return text;
}

SaverRequest Resolve(const std::string& arguments) {
  std::string line = "\"C:\\Saver Folder\\test.scr\" " + arguments;
  return ResolveSaverCommand(ParseCommandLine(line.c_str()));
}

// A window of the companion's class with a child, in this process.
struct OwnCompanion {
  HWND frame = nullptr;
  HWND child = nullptr;
  OwnCompanion() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "tavisk";
    RegisterClassExA(&windowClass);
    frame = CreateWindowExA(0, "tavisk", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    child = CreatePlainWindow("Static", frame);
  }
  ~OwnCompanion() { DestroyWindow(frame); }
};

// Ends the companion program that a check started, by its window.
void CloseStartedCompanion(const char* className) {
  for (int i = 0; i < 100; ++i) {
    HWND window = FindWindowA(className, nullptr);
    if (!window) return;
    PostMessageA(window, WM_CLOSE, 0, 0);
    Sleep(20);
  }
}

class SaverRequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    target = CreateWindowExA(0, "Static", "target", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                             nullptr, nullptr, nullptr);
    other = CreatePlainWindow();
    HWND gone = CreatePlainWindow();
    DestroyWindow(gone);
    stale = gone;
    SetForegroundWindow(target);
  }
  void TearDown() override {
    DestroyWindow(other);
    DestroyWindow(target);
    SetEnvironmentVariableA("MORVANE_TAVISK", nullptr);
  }
  HWND target = nullptr, other = nullptr, stale = nullptr;
};

TEST_F(SaverRequestTest, WindowsNamedOnTheLineOrTheForegroundWindow) {
  ASSERT_EQ(target, GetForegroundWindow());
  const struct {
    std::string arguments;
    SaverAction action;
    HWND parent;
  } cases[] = {
      {"", SaverAction::Configure, nullptr},
      {"/c", SaverAction::Configure, target},
      {"/c:" + Number(other, "%u"), SaverAction::Configure, target},
      {"/p " + Number(other, "0x%x"), SaverAction::Preview, other},
      {"/p:" + Number(other, "%u"), SaverAction::Preview, other},
      {"/p", SaverAction::Refuse, nullptr},
      {"/p 0", SaverAction::Refuse, nullptr},
      {"/p " + Number(stale, "%u"), SaverAction::Refuse, nullptr},
      {"/a", SaverAction::ChangePassword, target},
      {"/a " + Number(stale, "%u"), SaverAction::ChangePassword, target},
      {"/a:" + Number(other, "0x%x"), SaverAction::ChangePassword, other},
  };
  for (const auto& c : cases) {
    SaverRequest request = Resolve(c.arguments);
    EXPECT_EQ(c.action, request.action) << c.arguments;
    EXPECT_EQ(c.parent, request.parent) << c.arguments;
  }
}

TEST_F(SaverRequestTest, ThePreviewGoesIntoTheCompanionsChildWhenTheSwitchNamesIt) {
  OwnCompanion companion;
  StartAnsweringBoxes();
  const struct {
    const char* arguments;
    SaverAction action;
    HWND parent;
  } cases[] = {
      {"/p tavisk", SaverAction::Preview, companion.child},
      {"/P TAVISK", SaverAction::Preview, companion.child},
      {"/ptavisk then more", SaverAction::Preview, companion.child},
      {"/l Tavisk", SaverAction::Preview, companion.child},
      // Not the name: the number reading then finds none.
      {"/p tavisk then more", SaverAction::Refuse, nullptr},
      {"/p taviskk", SaverAction::Refuse, nullptr},
  };
  for (const auto& c : cases) {
    SaverRequest request = Resolve(c.arguments);
    EXPECT_EQ(c.action, request.action) << c.arguments;
    EXPECT_EQ(c.parent, request.parent) << c.arguments;
  }
  EXPECT_TRUE(StopAnsweringBoxes().empty());
}

TEST_F(SaverRequestTest, TheCompanionIsStartedWhenItIsNotRunningAndItsFailuresAreShown) {
  const struct {
    const char* fault;      // MORVANE_TAVISK of the started program
    const char* className;  // its window, closed afterwards
    bool found;
    const char* message;
  } cases[] = {
      {"", "tavisk", true, nullptr},
      {"nochild", "tavisk", false,
       "Tavisk was there, but not its child. Check you have the latest version."},
      {"otherclass", "tavisk-other", false, "Tavisk could not be found."},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(nullptr, FindWindowA("tavisk", nullptr));
    SetEnvironmentVariableA("MORVANE_TAVISK", c.fault);
    StartAnsweringBoxes();
    SaverRequest request = Resolve("/p tavisk");
    std::vector<ShownBox> boxes = StopAnsweringBoxes();
    HWND companion = FindWindowA("tavisk", nullptr);
    if (c.found) {
      ASSERT_NE(nullptr, companion) << c.fault;
      EXPECT_EQ(SaverAction::Preview, request.action);
      EXPECT_EQ(GetWindow(companion, GW_CHILD), request.parent);
      EXPECT_TRUE(boxes.empty());
    } else {
      EXPECT_EQ(SaverAction::Refuse, request.action) << c.fault;
      ASSERT_EQ(1u, boxes.size()) << c.fault;
      EXPECT_EQ(c.message, boxes[0].text);
      EXPECT_EQ("Tavisk", boxes[0].caption);
    }
    CloseStartedCompanion(c.className);
  }
}

}  // namespace

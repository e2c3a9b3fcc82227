// DefSaverProc in this process: what a window's creation changes, which windows end the message
// loop, how input and system commands reach the closing decision, settings changes, the cursor.
#include "core/library.h"
#include "saver_fixture.h"
#include "window/saver_state.h"

#include <gtest/gtest.h>

using namespace morvane;

namespace {

class SaverWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureLibrary();
    ResetPrefs();
    SetRegistryNumber(screenSaversKey, "Password Delay", 60);
    SetRegistryNumber(screenSaversKey, "Mouse Threshold", 200);
    DeleteRegistryValue(desktopKey, "ScreenSaveUsePassword");
    while (TakeQuitCode() >= 0) {
    }
  }
  void TearDown() override {
    DeleteRegistryValue(screenSaversKey, "Password Delay");
    DeleteRegistryValue(screenSaversKey, "Mouse Threshold");
    DeleteRegistryValue(screenSaversKey, "Active Config");
    while (TakeQuitCode() >= 0) {
    }
  }
};

SaverInputState Sentinel() {
  SaverInputState state = {};
  state.cursorOrigin = POINT{-7, -9};
  state.startTick = 12345;
  state.dialogActive = 1;
  state.passwordDelay = -1;
  state.mouseThreshold = -1;
  state.activeConfig = -1;
  return state;
}

TEST_F(SaverWindow, EveryWindowTakesTheSettingsButOnlyTheFullScreenOneStartsASession) {
  HWND plain = CreatePlainWindow();
  HWND monitor = CreatePlainWindow("MorvaneMonitorWindowClass");
  POINT cursor = {321, 234};
  SetCursorPos(cursor.x, cursor.y);
  const struct {
    const char* kind;
    int mode;
    HWND parent;
    bool startsSession;
  } cases[] = {
      {"full screen", WINDOWMODE_FULLSCREEN, nullptr, true},
      {"preview inside a monitor control", WINDOWMODE_MONITORPREVIEW, monitor, false},
      {"monitor preview in a configuration page's plain window", WINDOWMODE_MONITORPREVIEW, plain,
       false},
      {"system preview", WINDOWMODE_SYSTEMPREVIEW, plain, false},
  };
  for (const auto& c : cases) {
    saverInput = Sentinel();
    DWORD before = GetTickCount();
    HWND window = CreateSaverWindow(c.mode, c.parent);
    ASSERT_NE(nullptr, window) << c.kind;
    EXPECT_EQ(60, saverInput.passwordDelay) << c.kind;
    EXPECT_EQ(200, saverInput.mouseThreshold) << c.kind;
    EXPECT_EQ(0, saverInput.activeConfig) << c.kind;
    if (c.startsSession) {
      EXPECT_EQ(0, saverInput.dialogActive) << c.kind;
      EXPECT_LE(before, saverInput.startTick) << c.kind;
      EXPECT_EQ(cursor.x, saverInput.cursorOrigin.x) << c.kind;
      EXPECT_EQ(cursor.y, saverInput.cursorOrigin.y) << c.kind;
    } else {
      // A preview opened under an active configuration sheet leaves the running saver alone.
      EXPECT_EQ(1, saverInput.dialogActive) << c.kind;
      EXPECT_EQ(12345u, saverInput.startTick) << c.kind;
      EXPECT_EQ(-7, saverInput.cursorOrigin.x) << c.kind;
    }
    DestroySaverWindow(window);
  }
  DestroyWindow(plain);
  DestroyWindow(monitor);
}

TEST_F(SaverWindow, FullScreenWindowsAndSystemPreviewsEndTheLoopMonitorPreviewsNever) {
  HWND plain = CreatePlainWindow();
  HWND monitor = CreatePlainWindow("MorvaneMonitorWindowClass");
  const struct {
    const char* kind;
    int mode;  // -1: a creation record that is not the framework's
    HWND parent;
    int quitCode;  // -1: no quit message
  } cases[] = {
      {"full screen", WINDOWMODE_FULLSCREEN, nullptr, 2},
      {"system preview", WINDOWMODE_SYSTEMPREVIEW, plain, 2},
      {"monitor preview inside a plain window", WINDOWMODE_MONITORPREVIEW, plain, -1},
      {"monitor preview inside a monitor control", WINDOWMODE_MONITORPREVIEW, monitor, -1},
      {"unrecorded window inside a monitor control", -1, monitor, -1},
      {"unrecorded window inside a plain window", -1, plain, 2},
      {"unrecorded window without a parent", -1, nullptr, 2},
  };
  for (const auto& c : cases) {
    HWND window = CreateSaverWindow(c.mode, c.parent);
    ASSERT_NE(nullptr, window) << c.kind;
    EXPECT_EQ(-1, TakeQuitCode()) << c.kind;
    DestroyWindow(window);
    EXPECT_EQ(c.quitCode, TakeQuitCode()) << c.kind;
  }
  DestroyWindow(plain);
  DestroyWindow(monitor);
}

TEST_F(SaverWindow, SystemCommandsAreComparedWithoutTheirLowBits) {
  const struct {
    WPARAM command;
    bool debugMode;
    bool fullScreen;
    bool survives;
  } cases[] = {
      {SC_CLOSE, false, true, true},
      {SC_CLOSE | 0x2, false, true, true},
      {SC_CLOSE | 0x3, true, true, false},  // debug mode lets its system menu close it
      {SC_CLOSE, false, false, false},      // a preview is closed like any window
      // Last: a screen-save request that got through would start the system's saver.
      {SC_SCREENSAVE | 0x1, false, true, true},
      {SC_SCREENSAVE | 0xF, true, true, true},
  };
  HWND plain = CreatePlainWindow();
  for (const auto& c : cases) {
    ChangePrefs([&](ScrPrefs& prefs) { prefs.debugMode = c.debugMode; });
    HWND window = CreateSaverWindow(c.fullScreen ? 0 : 2, c.fullScreen ? nullptr : plain);
    LRESULT result = SendMessageA(window, WM_SYSCOMMAND, c.command, 0);
    ASSERT_EQ(c.survives, IsWindow(window) != 0) << std::hex << c.command;
    if (c.survives) {
      EXPECT_EQ(0, result) << std::hex << c.command;
    }
    DestroySaverWindow(window);
  }
  DestroyWindow(plain);
}

TEST_F(SaverWindow, InputPostsCloseOnlyToAFullScreenWindowWithNoDialogOpen) {
  HWND plain = CreatePlainWindow();
  const struct {
    const char* input;
    UINT message;
    WPARAM wParam;
    bool preview;
    int dialogActive;
    bool debugMode;
    bool closes;
  } cases[] = {
      {"a key", WM_KEYDOWN, 'A', false, 0, false, true},
      {"a key under a dialog", WM_KEYDOWN, 'A', false, 1, false, false},
      {"a key to a preview", WM_KEYDOWN, 'A', true, 0, false, false},
      {"Shift without active configuration", WM_KEYDOWN, VK_SHIFT, false, 0, false, true},
      {"Scroll Lock under a dialog", WM_KEYDOWN, VK_SCROLL, false, 1, false, false},
      {"left button", WM_LBUTTONDOWN, 0, false, 0, false, true},
      {"middle button", WM_MBUTTONDOWN, 0, false, 0, false, true},
      {"left button under a dialog", WM_LBUTTONDOWN, 0, false, 1, false, false},
      {"right button without active configuration", WM_RBUTTONDOWN, 0, false, 0, false, true},
      {"key released", WM_KEYUP, 'A', false, 0, false, false},
      {"deactivation", WM_ACTIVATE, WA_INACTIVE, false, 0, false, true},
      {"application deactivation", WM_ACTIVATEAPP, FALSE, false, 0, false, true},
      {"caption deactivation under a dialog", WM_NCACTIVATE, FALSE, false, 1, false, false},
      {"activation", WM_ACTIVATE, WA_ACTIVE, false, 0, false, false},
      {"deactivation in debug mode", WM_ACTIVATE, WA_INACTIVE, false, 0, true, false},
      {"a key in debug mode", WM_KEYDOWN, 'A', false, 0, true, true},
  };
  for (const auto& c : cases) {
    ChangePrefs([&](ScrPrefs& prefs) { prefs.debugMode = c.debugMode; });
    HWND window = CreateSaverWindow(c.preview ? 2 : 0, c.preview ? plain : nullptr);
    saverInput.dialogActive = c.dialogActive;
    SendMessageA(window, c.message, c.wParam, 0);
    EXPECT_EQ(c.closes, TakeClosePosted(window)) << c.input;
    EXPECT_TRUE(SeenOnly(SCRM_ACTIVECONFIG).empty()) << c.input;
    DestroySaverWindow(window);
  }
  DestroyWindow(plain);
}

// Movement is measured with the cursor position from where the window was created, whatever the
// message carries, and counts only beyond the user's threshold along either axis.
TEST_F(SaverWindow, MouseMovementClosesOnlyBeyondTheThresholdFromTheCreationCursor) {
  HWND plain = CreatePlainWindow();
  const POINT origin = {300, 300};
  enum Dialog { NoDialog, DialogOpen, DialogClosedAgain };
  const struct {
    const char* movement;
    DWORD threshold;  // "Mouse Threshold" as stored
    int dx, dy;
    bool preview;
    Dialog dialog;  // sent as SCRM_DIALOGACTIVE before the movement
    bool debugMode;
    bool closes;
  } cases[] = {
      {"one pixel at threshold 0", 0, 1, 0, false, NoDialog, false, true},
      {"one pixel up at threshold 0", 0, 0, -1, false, NoDialog, false, true},
      {"no movement at threshold 0", 0, 0, 0, false, NoDialog, false, false},
      {"200 at threshold 200", 200, 0, 200, false, NoDialog, false, false},
      {"201 at threshold 200", 200, -201, 0, false, NoDialog, false, true},
      {"no movement at threshold -1", 0xFFFFFFFF, 0, 0, false, NoDialog, false, false},
      {"no movement at the lowest threshold", 0x80000000, 0, 0, false, NoDialog, false, false},
      // A negative threshold counts as the default, 0.
      {"one pixel at threshold -5", 0xFFFFFFFB, 1, 1, false, NoDialog, false, true},
      {"far under a framework dialog", 0, 300, 300, false, DialogOpen, false, false},
      {"far once the dialog closed", 0, 300, 300, false, DialogClosedAgain, false, true},
      {"far in debug mode", 0, 300, 300, false, NoDialog, true, false},
      {"far in a preview", 0, 300, 300, true, NoDialog, false, false},
  };
  for (const auto& c : cases) {
    ChangePrefs([&](ScrPrefs& prefs) { prefs.debugMode = c.debugMode; });
    SetRegistryNumber(screenSaversKey, "Mouse Threshold", c.threshold);
    ASSERT_TRUE(SetCursorPos(origin.x, origin.y));
    HWND window = CreateSaverWindow(c.preview ? 2 : 0, c.preview ? plain : nullptr);
    ASSERT_NE(nullptr, window) << c.movement;
    if (c.dialog != NoDialog) SendMessageA(window, SCRM_DIALOGACTIVE, 1, 0);
    if (c.dialog == DialogClosedAgain) SendMessageA(window, SCRM_DIALOGACTIVE, 0, 0);
    ASSERT_TRUE(SetCursorPos(origin.x + c.dx, origin.y + c.dy));
    // The message's own coordinates say nothing moved: only the cursor counts.
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    EXPECT_EQ(c.closes, TakeClosePosted(window)) << c.movement;
    DestroySaverWindow(window);
  }
  DestroyWindow(plain);
}

TEST_F(SaverWindow, ANegativeThresholdFromASettingsChangeCountsAsTheDefaultToo) {
  const struct {
    int threshold;
    int dx;
    bool closes;
  } cases[] = {{-1, 0, false}, {-200, 0, false}, {-1, 1, true}, {5, 5, false}, {5, 6, true}};
  for (const auto& c : cases) {
    ASSERT_TRUE(SetCursorPos(400, 400));
    HWND window = CreateSaverWindow(0);
    ScrSettings changed = {};
    changed.size = sizeof changed;
    changed.mouseThreshold = c.threshold;
    changed.passwordDelay = 60;
    SendMessageA(window, SCRM_SETTINGSCHANGED, 1, reinterpret_cast<LPARAM>(&changed));
    ASSERT_TRUE(SetCursorPos(400 + c.dx, 400));
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(400, 400));
    EXPECT_EQ(c.closes, TakeClosePosted(window)) << c.threshold << " " << c.dx;
    DestroySaverWindow(window);
  }
}

TEST_F(SaverWindow, ActiveConfigurationKeysOpenItOnlyWhenAuthorAndUserAllowIt) {
  const struct {
    bool allowed;  // the author's allowActiveConfig
    int userOn;    // the user's "Active Config"
    WPARAM key;    // 0: the right button
    bool opens;
  } cases[] = {
      {true, 1, VK_SHIFT, true}, {true, 1, VK_CONTROL, true}, {true, 1, VK_SCROLL, true},
      {true, 1, 0, true},        {true, 0, VK_SHIFT, false},  {false, 1, VK_CONTROL, false},
  };
  for (const auto& c : cases) {
    ChangePrefs([&](ScrPrefs& prefs) { prefs.allowActiveConfig = c.allowed; });
    SetRegistryNumber(screenSaversKey, "Active Config", c.userOn);
    HWND window = CreateSaverWindow(0);
    SetCursorPos(100, 100);
    if (c.key) {
      SendMessageA(window, WM_KEYDOWN, c.key, 0);
    } else {
      SendMessageA(window, WM_RBUTTONDOWN, 0, 0);
    }
    EXPECT_EQ(c.opens ? 1u : 0u, SeenOnly(SCRM_ACTIVECONFIG).size()) << c.key;
    EXPECT_EQ(!c.opens, TakeClosePosted(window)) << c.key;
    if (c.opens) {
      // The dialog flag brackets the configuration, and the origin moves to the cursor.
      ASSERT_EQ(3u, seenMessages.size());
      EXPECT_EQ(UINT(SCRM_DIALOGACTIVE), seenMessages[0].message);
      EXPECT_EQ(1u, seenMessages[0].wParam);
      EXPECT_EQ(UINT(SCRM_DIALOGACTIVE), seenMessages[2].message);
      EXPECT_EQ(0u, seenMessages[2].wParam);
      EXPECT_EQ(0, saverInput.dialogActive);
      EXPECT_EQ(100, saverInput.cursorOrigin.x);
    }
    DestroySaverWindow(window);
  }
}

TEST_F(SaverWindow, SettingsChangesReachOnlyTheFullScreenWindowAndOnlyGeneralOnes) {
  HWND plain = CreatePlainWindow();
  HWND full = CreateSaverWindow(0);
  HWND preview = CreateSaverWindow(2, plain);
  ScrSettings changed = {};
  changed.size = sizeof changed;
  changed.passwordDelay = 5;
  changed.mouseThreshold = 6;
  changed.activeConfig = 1;
  const struct {
    HWND window;
    WPARAM flags;
    LPARAM settings;
    bool taken;
  } cases[] = {
      {preview, 1, reinterpret_cast<LPARAM>(&changed), false},
      {full, 2, reinterpret_cast<LPARAM>(&changed), false},
      {full, 1, 0, false},  // no record: nothing to read
      {full, 0xD001, reinterpret_cast<LPARAM>(&changed), true},
      {full, 1, reinterpret_cast<LPARAM>(&changed), true},
  };
  for (const auto& c : cases) {
    saverInput.passwordDelay = saverInput.mouseThreshold = saverInput.activeConfig = 0;
    saverInput.startTick = 777;
    EXPECT_EQ(1, SendMessageA(c.window, SCRM_SETTINGSCHANGED, c.flags, c.settings));
    EXPECT_EQ(c.taken ? 5 : 0, saverInput.passwordDelay) << std::hex << c.flags;
    EXPECT_EQ(c.taken ? 6 : 0, saverInput.mouseThreshold) << std::hex << c.flags;
    EXPECT_EQ(c.taken ? 1 : 0, saverInput.activeConfig) << std::hex << c.flags;
    EXPECT_EQ(777u, saverInput.startTick);
  }
  DestroySaverWindow(preview);
  DestroySaverWindow(full);
  DestroyWindow(plain);
}

TEST_F(SaverWindow, CursorIsHiddenOverTheFullScreenWindowOnly) {
  HWND plain = CreatePlainWindow();
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  const struct {
    bool preview;
    bool debugMode;
    bool hidden;
  } cases[] = {{false, false, true}, {true, false, false}, {false, true, false}};
  for (const auto& c : cases) {
    ChangePrefs([&](ScrPrefs& prefs) { prefs.debugMode = c.debugMode; });
    HWND window = CreateSaverWindow(c.preview ? 2 : 0, c.preview ? plain : nullptr);
    SetCursor(c.hidden ? arrow : nullptr);
    SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, 0));
    EXPECT_EQ(c.hidden ? nullptr : arrow, GetCursor()) << c.preview << c.debugMode;
    DestroySaverWindow(window);
  }
  DestroyWindow(plain);
}

TEST_F(SaverWindow, AnUnhandledTickStopsTheTimerAndAPreviewClosesWithoutAPassword) {
  HWND plain = CreatePlainWindow();
  HWND preview = CreateSaverWindow(2, plain);
  EXPECT_EQ(-1, SendMessageA(preview, SCRM_TIMER, 0, 0));
  SetRegistryNumber(screenSaversKey, "Password Delay", 0);
  SetRegistryNumber(desktopKey, "ScreenSaveUsePassword", 1);
  SendMessageA(preview, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(preview));
  EXPECT_TRUE(SeenOnly(SCRM_VERIFYPW).empty());
  DeleteRegistryValue(desktopKey, "ScreenSaveUsePassword");
  DestroyWindow(plain);
}

}  // namespace

// The demo's GL window, its window procedure and the GL state it sets up, in one real window.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>
#include <vector>

#include "light_sim.h"
#include "message_box_spy.h"
#include "random.h"
#include "scene_render.h"
#include "scene_window.h"

namespace {

// The last box a test's thread showed, or an empty record when it showed none.
ShownBox LastBox(const std::vector<ShownBox>& boxes) {
  return boxes.empty() ? ShownBox{} : boxes.back();
}

class SceneWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    StartAnsweringBoxes();
    opened = OpenSceneWindow("Scene test", 320, 240, 16, false);
    openFailure = LastBox(StopAnsweringBoxes()).text;
  }
  static void TearDownTestSuite() { CloseSceneWindow(); }

  void SetUp() override { ASSERT_TRUE(opened) << openFailure; }

  static inline bool opened = false;
  static inline std::string openFailure;
};

TEST_F(SceneWindow, OpensAtTheTopLeftWithWindowedStylesAndItsSize) {
  RECT r;
  GetWindowRect(mainWindow, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 320);
  EXPECT_EQ(r.bottom - r.top, 240);
  const LONG_PTR style = GetWindowLongPtrA(mainWindow, GWL_STYLE);
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_TRUE(IsWindowVisible(mainWindow));
  EXPECT_FALSE(fullscreen);
}

TEST_F(SceneWindow, RenderStateIsAdditiveFoggedAndTextured) {
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_FOG));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  GLint value = 0;
  glGetIntegerv(GL_BLEND_SRC, &value);
  EXPECT_EQ(value, GL_SRC_ALPHA);
  glGetIntegerv(GL_BLEND_DST, &value);
  EXPECT_EQ(value, GL_DST_ALPHA);
  glGetIntegerv(GL_FOG_MODE, &value);
  EXPECT_EQ(value, GL_EXP2);
  GLfloat density = 0;
  glGetFloatv(GL_FOG_DENSITY, &density);
  EXPECT_FLOAT_EQ(density, 0.025f);
}

TEST_F(SceneWindow, ResizeViewportKeepsTheAspectAndAvoidsAZeroHeight) {
  struct Case {
    int width, height, viewHeight;
    double aspect;
  };
  const Case cases[] = {{640, 0, 1, 640.0}, {800, 600, 600, 800.0 / 600.0}, {300, 1, 1, 300.0}};
  for (const Case& c : cases) {
    ResizeViewport(c.width, c.height);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], c.width);
    EXPECT_EQ(viewport[3], c.viewHeight) << c.width << "x" << c.height;
    GLdouble projection[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    // gluPerspective puts f/aspect at [0] and f at [5].
    EXPECT_NEAR(projection[5] / projection[0], c.aspect, 1e-6 * c.aspect);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
  }
  ResizeViewport(320, 240);
}

TEST_F(SceneWindow, KeysAreHeldFromDownToUpAndLargeCodesIgnored) {
  SendMessageA(mainWindow, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_TRUE(keyDown[VK_LEFT]);
  SendMessageA(mainWindow, WM_KEYDOWN, 0x1234, 0);
  SendMessageA(mainWindow, WM_KEYUP, 256, 0);
  EXPECT_TRUE(keyDown[VK_LEFT]);
  SendMessageA(mainWindow, WM_KEYUP, VK_LEFT, 0);
  EXPECT_FALSE(keyDown[VK_LEFT]);
}

// Hands the window what was posted to this thread, as the demo's loop does between frames.
void DeliverPostedMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// A key pressed and released within one batch of messages, as a quick tap during a slow frame.
void PostTap(WPARAM key) {
  PostMessageA(mainWindow, WM_KEYDOWN, key, 0);
  PostMessageA(mainWindow, WM_KEYUP, key, 0xC0000001);
}

TEST_F(SceneWindow, AQuickTapCountsOnceAndAHeldKeyEveryFrame) {
  ResetSceneState();
  ASSERT_FLOAT_EQ(15.0f, lightCount);
  PostTap(VK_ADD);
  DeliverPostedMessages();
  ASSERT_FALSE(keyDown[VK_ADD]);
  EXPECT_TRUE(RunSceneFrame());
  EXPECT_NEAR(15.1f, lightCount, 1e-4) << "the tap is seen by the next frame";
  EXPECT_TRUE(RunSceneFrame());
  EXPECT_NEAR(15.1f, lightCount, 1e-4) << "and by that frame only";

  // Held across frames, with the keyboard's repeats, it steers every frame until released.
  SendMessageA(mainWindow, WM_KEYDOWN, VK_SUBTRACT, 1);
  EXPECT_TRUE(RunSceneFrame());
  SendMessageA(mainWindow, WM_KEYDOWN, VK_SUBTRACT, 0x40000001);
  EXPECT_TRUE(RunSceneFrame());
  EXPECT_TRUE(RunSceneFrame());
  EXPECT_NEAR(14.8f, lightCount, 1e-4);
  SendMessageA(mainWindow, WM_KEYUP, VK_SUBTRACT, 0xC0000001);
  EXPECT_TRUE(RunSceneFrame());
  EXPECT_NEAR(14.8f, lightCount, 1e-4) << "a pressed and held key counts once per frame";
  ResetSceneState();
}

TEST_F(SceneWindow, AQuickEscapeTapEndsTheLoop) {
  // Should the tap be missed, a timer ends the loop with another code instead of leaving it
  // running.
  struct Fallback {
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(99); }
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 3000, Fallback::OnTimer);
  PostTap(VK_ESCAPE);
  EXPECT_EQ(0, RunSceneLoop());
  KillTimer(nullptr, timer);
  MSG quit;
  while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  // The end is not remembered for the next run.
  PostTap(VK_RIGHT);
  DeliverPostedMessages();
  EXPECT_TRUE(RunSceneFrame());
  EXPECT_TRUE(RunSceneFrame());
}

TEST_F(SceneWindow, ActivationFollowsMinimising) {
  SendMessageA(mainWindow, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
  EXPECT_FALSE(windowActive);
  SendMessageA(mainWindow, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
  EXPECT_TRUE(windowActive);
}

// Records the system commands that reach default processing, and stops them there.
struct SystemCommandSpy {
  static inline std::vector<WPARAM> seen;
  static inline HHOOK hook = nullptr;

  static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_SYSCOMMAND) {
      seen.push_back(wParam);
      return 1;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
  }

  SystemCommandSpy() {
    seen.clear();
    hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
  }
  ~SystemCommandSpy() { UnhookWindowsHookEx(hook); }
};

TEST_F(SceneWindow, SaverAndPowerCommandsAreSwallowedOthersReachTheSystem) {
  SystemCommandSpy spy;
  // Windows may set the low four bits of a system command; the comparison masks them off.
  EXPECT_EQ(SendMessageA(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE | 2, 0), 0);
  EXPECT_EQ(SendMessageA(mainWindow, WM_SYSCOMMAND, SC_MONITORPOWER | 1, 2), 0);
  EXPECT_EQ(SendMessageA(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
  EXPECT_TRUE(SystemCommandSpy::seen.empty());
  SendMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
  ASSERT_EQ(SystemCommandSpy::seen.size(), 1u);
  EXPECT_EQ(SystemCommandSpy::seen[0], static_cast<WPARAM>(SC_MINIMIZE | 2));
}

// Renders one frame with only light `visible` (of lights 0 to 2) in front of the viewer, the
// others behind it, all at rest and without glow patches; returns the frame's pixels.
static std::vector<unsigned char> RenderWithOneBallInView(int visible) {
  ResetSceneState();
  lightCount = 3.0f;
  glowScale = 0.0f;
  for (int i = 0; i < 3; ++i)
    lights[i] = Light{0.0f, 0.0f, i == visible ? -6.0f : 10.0f, 0, 0, 0, 0};
  RenderFrame();
  glowScale = 1.0f;
  std::vector<unsigned char> pixels(320 * 240 * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, 320, 240, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

TEST_F(SceneWindow, FramesDrawTheBallsInTheirColoursOverALitRoom) {
  ResizeViewport(320, 240);
  const std::vector<unsigned char> room = RenderWithOneBallInView(-1);
  int lit = 0;
  for (size_t i = 0; i < room.size(); i += 3) lit += room[i] + room[i + 1] + room[i + 2] > 60;
  EXPECT_GT(lit, 320 * 240 / 2) << "the room is not lit";

  // Blending is additive, so what a ball adds to the empty room is its own colour.
  struct Expected {
    const char* name;
    double greenPerRed;
  };
  const Expected colours[] = {{"orange", 0.5}, {"red", 0.0}, {"yellow", 1.0}};
  for (int k = 0; k < 3; ++k) {
    const std::vector<unsigned char> frame = RenderWithOneBallInView(k);
    double red = 0, green = 0, blue = 0;
    int covered = 0;
    for (size_t i = 0; i < frame.size(); i += 3) {
      const int dr = frame[i] - room[i], dg = frame[i + 1] - room[i + 1],
                db = frame[i + 2] - room[i + 2];
      if (dr + dg + db > 60 && frame[i] < 255 && frame[i + 1] < 255) {
        red += dr, green += dg, blue += db;
        ++covered;
      }
    }
    ASSERT_GT(covered, 20) << colours[k].name << " ball not in view";
    EXPECT_NEAR(green / red, colours[k].greenPerRed, 0.15) << colours[k].name;
    EXPECT_LT(blue / red, 0.05) << colours[k].name;
  }
}

TEST_F(SceneWindow, ASecondOpeningReportsTheClassRegistration) {
  HWND first = mainWindow;
  StartAnsweringBoxes();
  EXPECT_FALSE(OpenSceneWindow("Second", 100, 100, 16, false));
  const ShownBox box = LastBox(StopAnsweringBoxes());
  EXPECT_EQ(box.caption, "ERROR");
  EXPECT_EQ(box.text, "Failed To Register The Window Class.");
  EXPECT_EQ(mainWindow, first);
}

}  // namespace

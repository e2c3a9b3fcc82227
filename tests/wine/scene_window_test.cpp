// The demo's GL window, its window procedure and the GL state it sets up, in one real window.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>

#include "light_sim.h"
#include "random.h"
#include "scene_render.h"
#include "scene_window.h"

namespace {

// Answers the next message box of this thread with OK and remembers its caption and text.
struct BoxCatcher {
    static inline std::string caption, text;
    static inline HHOOK hook = nullptr;

    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE) {
            HWND box = reinterpret_cast<HWND>(wParam);
            char buffer[512] = {};
            GetWindowTextA(box, buffer, sizeof buffer);
            caption = buffer;
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
            text = buffer;
            // NOTE: pressing the button inside the hook re-enters it; post the press instead.
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(hook, code, wParam, lParam);
    }

    BoxCatcher()
    {
        caption.clear();
        text.clear();
        hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    }
    ~BoxCatcher() { UnhookWindowsHookEx(hook); }
};

class SceneWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        BoxCatcher boxes;
        opened = OpenSceneWindow("Scene test", 320, 240, 16, false);
        openFailure = boxes.text;
    }
    static void TearDownTestSuite() { CloseSceneWindow(); }

    void SetUp() override { ASSERT_TRUE(opened) << openFailure; }

    static inline bool opened = false;
    static inline std::string openFailure;
};

TEST_F(SceneWindow, OpensAtTheTopLeftWithWindowedStylesAndItsSize)
{
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

TEST_F(SceneWindow, RenderStateIsAdditiveFoggedAndTextured)
{
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

TEST_F(SceneWindow, ResizeViewportKeepsTheAspectAndAvoidsAZeroHeight)
{
    struct Case { int width, height, viewHeight; double aspect; };
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

TEST_F(SceneWindow, KeysAreHeldFromDownToUpAndLargeCodesIgnored)
{
    SendMessageA(mainWindow, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(keyDown[VK_LEFT]);
    SendMessageA(mainWindow, WM_KEYDOWN, 0x1234, 0);
    SendMessageA(mainWindow, WM_KEYUP, 256, 0);
    EXPECT_TRUE(keyDown[VK_LEFT]);
    SendMessageA(mainWindow, WM_KEYUP, VK_LEFT, 0);
    EXPECT_FALSE(keyDown[VK_LEFT]);
}

TEST_F(SceneWindow, ActivationFollowsMinimising)
{
    SendMessageA(mainWindow, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
    EXPECT_FALSE(windowActive);
    SendMessageA(mainWindow, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
    EXPECT_TRUE(windowActive);
}

TEST_F(SceneWindow, SaverAndPowerCommandsAreSwallowedOthersReachTheSystem)
{
    // Windows may set the low four bits of a system command; the comparison masks them off.
    EXPECT_EQ(SendMessageA(mainWindow, WM_SYSCOMMAND, SC_SCREENSAVE | 2, 0), 0);
    EXPECT_EQ(SendMessageA(mainWindow, WM_SYSCOMMAND, SC_MONITORPOWER | 1, 2), 0);
    EXPECT_FALSE(IsIconic(mainWindow));
    SendMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(mainWindow));
    SendMessageA(mainWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(mainWindow));
    windowActive = true;
}

TEST_F(SceneWindow, FramesDrawTheGlowingBallsInTheirColours)
{
    ResetSceneState();
    ResizeViewport(320, 240);
    for (int frame = 0; frame < 3; ++frame)
        ASSERT_TRUE(RenderFrame());
    static unsigned char pixels[320 * 240 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 320, 240, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    int redOnly = 0, yellow = 0, lit = 0;
    for (int i = 0; i < 320 * 240 * 3; i += 3) {
        const int r = pixels[i], g = pixels[i + 1], b = pixels[i + 2];
        lit += r + g + b > 60;
        redOnly += r > 150 && g < r / 4 && b < r / 4;
        yellow += r > 150 && g > r * 3 / 4 && b < r / 3;
    }
    EXPECT_GT(lit, 320 * 240 / 5) << "the room is not lit";
    EXPECT_GT(redOnly, 20) << "no red ball or glow";
    EXPECT_GT(yellow, 20) << "no yellow ball or glow";
}

TEST_F(SceneWindow, ASecondOpeningReportsTheClassRegistration)
{
    HWND first = mainWindow;
    BoxCatcher boxes;
    EXPECT_FALSE(OpenSceneWindow("Second", 100, 100, 16, false));
    EXPECT_EQ(BoxCatcher::caption, "ERROR");
    EXPECT_EQ(BoxCatcher::text, "Failed To Register The Window Class.");
    EXPECT_EQ(mainWindow, first);
}

}  // namespace

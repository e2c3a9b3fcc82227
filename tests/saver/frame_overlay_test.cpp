// The frame-rate overlay in a real GL context under Wine: what it draws into the back buffer (read
// back before any swap), where, and that the scene's GL state is as it was afterwards.
#include <gtest/gtest.h>

#include <windows.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "frame_overlay.h"
#include "morvane.h"

namespace {

constexpr int Width = 640, Height = 160;
constexpr unsigned char Grey = 128;

struct Pixels {
  std::vector<unsigned char> rgb;
  const unsigned char* At(int x, int yFromTop) const {
    return &rgb[(static_cast<size_t>(Height - 1 - yFromTop) * Width + x) * 3];
  }
};

Pixels ReadBack() {
  Pixels pixels;
  pixels.rgb.resize(static_cast<size_t>(Width) * Height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, Width, Height, GL_RGB, GL_UNSIGNED_BYTE, pixels.rgb.data());
  return pixels;
}

bool IsBlack(const unsigned char* p) {
  return p[0] == 0 && p[1] == 0 && p[2] == 0;
}
bool IsWhite(const unsigned char* p) {
  return p[0] > 200 && p[1] > 200 && p[2] > 200;
}
bool IsGrey(const unsigned char* p) {
  return p[0] == Grey && p[1] == Grey && p[2] == Grey;
}

void SetText(FrameOverlay& overlay, const char* text) {
  std::strncpy(overlay.text.text, text, sizeof overlay.text.text - 1);
  overlay.textureStale = true;
}

class FrameOverlayGl : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FrameOverlayTest";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(WS_EX_TOOLWINDOW, "FrameOverlayTest", "", WS_POPUP, 0, 0, Width,
                             Height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    dc = window ? GetDC(window) : nullptr;
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    const int chosen = dc ? ChoosePixelFormat(dc, &format) : 0;
    if (chosen && SetPixelFormat(dc, chosen, &format)) context = wglCreateContext(dc);
    if (context) wglMakeCurrent(dc, context);
  }
  static void TearDownTestSuite() {
    wglMakeCurrent(nullptr, nullptr);
    if (context) wglDeleteContext(context);
    if (dc) ReleaseDC(window, dc);
    if (window) DestroyWindow(window);
  }

  void SetUp() override {
    ASSERT_TRUE(context) << "no GL context";
    glViewport(0, 0, Width, Height);
    glClearColor(Grey / 255.0f, Grey / 255.0f, Grey / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override {
    if (context) ReleaseFrameOverlay(overlay, true);
  }

  static inline HWND window = nullptr;
  static inline HDC dc = nullptr;
  static inline HGLRC context = nullptr;
  FrameOverlay overlay;
};

// The text's letters are white in a black box at the top left, spaces and all; the rest of the
// picture is untouched.
TEST_F(FrameOverlayGl, DrawsWhiteTextInABlackBoxAtTheTopLeftAndNothingElse) {
  const char text[] = "59.9 fps  p99 17.3 ms  CPU 12%";
  SetText(overlay, text);
  DrawFrameOverlay(overlay, Width, Height);
  const Pixels pixels = ReadBack();
  ASSERT_GT(overlay.boxWidth, 0);
  ASSERT_GT(overlay.boxHeight, 0);
  // Fixed pitch: the box holds every character at one width, spaces too.
  SIZE glyph = {};
  HDC measure = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                           FIXED_PITCH | FF_MODERN, "Courier New");
  HGDIOBJ former = SelectObject(measure, font);
  GetTextExtentPoint32A(measure, "0", 1, &glyph);
  SelectObject(measure, former);
  DeleteObject(font);
  DeleteDC(measure);
  const int length = static_cast<int>(std::strlen(text));
  EXPECT_NEAR(overlay.boxWidth, length * glyph.cx + 12, 2);
  int white = 0, rightmostWhite = -1;
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      const unsigned char* p = pixels.At(x, y);
      if (x < overlay.boxWidth && y < overlay.boxHeight) {
        ASSERT_TRUE(IsBlack(p) || IsWhite(p)) << x << "," << y;
        if (IsWhite(p)) {
          ++white;
          if (x > rightmostWhite) rightmostWhite = x;
        }
      } else {
        ASSERT_TRUE(IsGrey(p)) << "outside the box at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(white, length * 10) << "too few letter pixels";
  // The last character, '%', ends within the last glyph cell: no word was run together.
  EXPECT_GT(rightmostWhite, 6 + (length - 1) * glyph.cx);
  EXPECT_LT(rightmostWhite, 6 + length * glyph.cx);
}

TEST_F(FrameOverlayGl, ANewTextIsShownAtTheNextDraw) {
  SetText(overlay, "1.0 fps");
  DrawFrameOverlay(overlay, Width, Height);
  const int shortBox = overlay.boxWidth;
  SetText(overlay, "9999.9 fps  p99 9999.9 ms  CPU 9999%");
  glClear(GL_COLOR_BUFFER_BIT);
  DrawFrameOverlay(overlay, Width, Height);
  EXPECT_GT(overlay.boxWidth, shortBox * 3);
  const Pixels pixels = ReadBack();
  EXPECT_TRUE(IsBlack(pixels.At(overlay.boxWidth - 1, 0)));
  EXPECT_TRUE(IsGrey(pixels.At(overlay.boxWidth, 0)));
}

TEST_F(FrameOverlayGl, LeavesTheScenesStateAsItWas) {
  GLuint sceneTexture = 0;
  glGenTextures(1, &sceneTexture);
  glBindTexture(GL_TEXTURE_2D, sceneTexture);
  const unsigned char texel[4] = {10, 20, 30, 255};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
  const GLenum enabled[] = {GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D,
                            GL_FOG,        GL_BLEND,    GL_CULL_FACE};
  for (GLenum cap : enabled) glEnable(cap);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glFrustum(-1, 1, -1, 1, 1, 100);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1.0f, 2.0f, -3.0f);
  GLfloat projection[16], modelview[16], colour[4];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  glGetFloatv(GL_CURRENT_COLOR, colour);

  SetText(overlay, "60.0 fps");
  DrawFrameOverlay(overlay, Width, Height);

  for (GLenum cap : enabled) EXPECT_TRUE(glIsEnabled(cap)) << std::hex << cap;
  GLint bound = 0, mode = 0, envMode = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
  EXPECT_EQ(static_cast<GLuint>(bound), sceneTexture);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(envMode, GL_MODULATE);
  GLfloat after[16];
  glGetFloatv(GL_PROJECTION_MATRIX, after);
  EXPECT_EQ(0, std::memcmp(projection, after, sizeof after));
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  EXPECT_EQ(0, std::memcmp(modelview, after, sizeof after));
  glGetFloatv(GL_CURRENT_COLOR, after);
  EXPECT_EQ(0, std::memcmp(colour, after, sizeof colour));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  for (GLenum cap : enabled) glDisable(cap);
  glDeleteTextures(1, &sceneTexture);
}

TEST_F(FrameOverlayGl, NoTextOrNoRoomDrawsNothing) {
  DrawFrameOverlay(overlay, Width, Height);  // no text yet
  SetText(overlay, "60.0 fps");
  DrawFrameOverlay(overlay, 0, Height);
  DrawFrameOverlay(overlay, Width, -5);
  const Pixels pixels = ReadBack();
  for (size_t i = 0; i < pixels.rgb.size(); i += 3)
    ASSERT_TRUE(IsGrey(&pixels.rgb[i])) << "pixel " << i / 3;
}

// Made again after a release, as for a window whose GL context was made anew.
TEST_F(FrameOverlayGl, IsMadeAgainAfterARelease) {
  SetText(overlay, "60.0 fps");
  DrawFrameOverlay(overlay, Width, Height);
  ReleaseFrameOverlay(overlay, true);
  EXPECT_EQ(overlay.texture, 0u);
  glClear(GL_COLOR_BUFFER_BIT);
  SetText(overlay, "30.0 fps");
  DrawFrameOverlay(overlay, Width, Height);
  EXPECT_TRUE(IsBlack(ReadBack().At(1, 1)));
}

// A window that is no saver window has no frame figures: the text says so rather than guessing.
TEST_F(FrameOverlayGl, TheFirstUpdateWorksTheTextOutAndTheNextWaitsHalfASecond) {
  UpdateFrameOverlay(overlay, window);
  EXPECT_STREQ(overlay.text.text, "-- fps  p99 -- ms  CPU --%");
  EXPECT_TRUE(overlay.textureStale);
  overlay.textureStale = false;
  const std::uint64_t shownAt = overlay.text.shown.wall100ns;
  UpdateFrameOverlay(overlay, window);
  EXPECT_FALSE(overlay.textureStale);
  EXPECT_EQ(overlay.text.shown.wall100ns, shownAt);
  // Spin the CPU for a little over half a second: the load shows.
  LARGE_INTEGER start, now, frequency;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  volatile unsigned long spin = 0;
  do {
    for (int i = 0; i < 100000; ++i) spin = spin + i;
    QueryPerformanceCounter(&now);
  } while (now.QuadPart - start.QuadPart < frequency.QuadPart * 55 / 100);
  UpdateFrameOverlay(overlay, window);
  EXPECT_TRUE(overlay.textureStale);
  int cpu = -1;
  const char* at = std::strstr(overlay.text.text, "CPU ");
  ASSERT_NE(at, nullptr) << overlay.text.text;
  EXPECT_EQ(1, std::sscanf(at, "CPU %d%%", &cpu)) << overlay.text.text;
  EXPECT_GT(cpu, 10) << overlay.text.text;  // a shared machine gives the spin less than a core
}

}  // namespace

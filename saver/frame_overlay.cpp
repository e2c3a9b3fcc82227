#include "frame_overlay.h"

#include <cstring>

#include "morvane.h"

namespace {

// The texture: a power of two each way, as GL 1.1 wants, wide enough for the longest text.
constexpr int TextureWidth = 512;
constexpr int TextureHeight = 32;
constexpr int FontPixels = 16;
constexpr int Margin = 6;  // around the text, inside its dark box

std::uint64_t As100ns(const FILETIME& time) {
  return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// QueryPerformanceCounter rather than the system time: it neither steps by 16 ms nor jumps when
// the clock is set.
std::uint64_t Wall100ns() {
  LARGE_INTEGER count = {}, frequency = {};
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  if (frequency.QuadPart <= 0) return 0;
  const std::uint64_t ticks = static_cast<std::uint64_t>(count.QuadPart);
  const std::uint64_t perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
  return ticks / perSecond * 10000000 + ticks % perSecond * 10000000 / perSecond;
}

std::uint64_t ProcessCpu100ns() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return As100ns(kernel) + As100ns(user);
}

bool MakeTextBitmap(FrameOverlay& overlay) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = TextureWidth;
  info.bmiHeader.biHeight = -TextureHeight;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  overlay.textDc = CreateCompatibleDC(nullptr);
  if (!overlay.textDc) return false;
  overlay.textBitmap =
      CreateDIBSection(overlay.textDc, &info, DIB_RGB_COLORS, &overlay.textPixels, nullptr, 0);
  overlay.font = CreateFontA(-FontPixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                             FIXED_PITCH | FF_MODERN, "Courier New");
  if (!overlay.textBitmap || !overlay.textPixels || !overlay.font) return false;
  overlay.formerBitmap = SelectObject(overlay.textDc, overlay.textBitmap);
  SelectObject(overlay.textDc, overlay.font);
  SetTextColor(overlay.textDc, RGB(255, 255, 255));
  SetBkMode(overlay.textDc, TRANSPARENT);
  return true;
}

bool MakeTexture(FrameOverlay& overlay) {
  glGenTextures(1, &overlay.texture);
  if (!overlay.texture) return false;
  glPushAttrib(GL_TEXTURE_BIT);
  glBindTexture(GL_TEXTURE_2D, overlay.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, TextureWidth, TextureHeight, 0, GL_BGRA_EXT,
               GL_UNSIGNED_BYTE, overlay.textPixels);
  glPopAttrib();
  return glGetError() == GL_NO_ERROR;
}

// White letters in a black box, drawn by GDI, then copied into the texture.
void FillTexture(FrameOverlay& overlay) {
  const char* text = overlay.text.text;
  const int length = static_cast<int>(std::strlen(text));
  RECT all = {0, 0, TextureWidth, TextureHeight};
  FillRect(overlay.textDc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  TextOutA(overlay.textDc, Margin, Margin, text, length);
  SIZE extent = {};
  GetTextExtentPoint32A(overlay.textDc, text, length, &extent);
  overlay.boxWidth = extent.cx + 2 * Margin < TextureWidth ? extent.cx + 2 * Margin : TextureWidth;
  overlay.boxHeight =
      extent.cy + 2 * Margin < TextureHeight ? extent.cy + 2 * Margin : TextureHeight;
  GdiFlush();  // GDI may batch its drawing: all of it is in the pixels before GL reads them
  glPushAttrib(GL_TEXTURE_BIT);
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glBindTexture(GL_TEXTURE_2D, overlay.texture);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, TextureWidth, TextureHeight, GL_BGRA_EXT,
                  GL_UNSIGNED_BYTE, overlay.textPixels);
  glPopClientAttrib();
  glPopAttrib();
  overlay.textureStale = false;
}

// Window pixels, origin at the bottom left, with nothing of the scene's state in the way: no depth
// test, light, fog or blending, and the texture alone giving the colour. Only what is changed is
// saved: every state saved and put back costs the frame time.
void BeginOverlayState(const FrameOverlay& overlay, int width, int height) {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT | GL_TEXTURE_BIT);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, overlay.texture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void EndOverlayState() {
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
}

}  // namespace

void UpdateFrameOverlay(FrameOverlay& overlay, HWND window) {
  const std::uint64_t wall = Wall100ns();
  if (!OverlayRefreshDue(overlay.text, wall)) return;
  ScrFrameFigures figures = {};
  figures.size = sizeof figures;
  if (!ScrGetFrameFigures(window, &figures)) figures = ScrFrameFigures();
  OverlaySample sample = {};
  sample.wall100ns = wall;
  sample.cpu100ns = ProcessCpu100ns();
  sample.ticks = figures.ticks;
  sample.meanIntervalMs = figures.meanIntervalMs;
  if (RefreshOverlayText(overlay.text, sample, figures.p99IntervalMs)) overlay.textureStale = true;
}

void DrawFrameOverlay(FrameOverlay& overlay, int width, int height) {
  if (!overlay.tried) {
    overlay.tried = true;
    overlay.made = MakeTextBitmap(overlay) && MakeTexture(overlay);
  }
  if (!overlay.made || !overlay.text.text[0] || width <= 0 || height <= 0) return;
  if (overlay.textureStale) FillTexture(overlay);
  BeginOverlayState(overlay, width, height);
  // The bitmap's top row is the texture's first: t grows downwards on the screen. One texel to a
  // pixel, so the letters stay sharp.
  const float s = static_cast<float>(overlay.boxWidth) / TextureWidth;
  const float t = static_cast<float>(overlay.boxHeight) / TextureHeight;
  const int bottom = height - overlay.boxHeight;
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, t);
  glVertex2i(0, bottom);
  glTexCoord2f(s, t);
  glVertex2i(overlay.boxWidth, bottom);
  glTexCoord2f(s, 0.0f);
  glVertex2i(overlay.boxWidth, height);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2i(0, height);
  glEnd();
  EndOverlayState();
}

void ReleaseFrameOverlay(FrameOverlay& overlay, bool contextCurrent) {
  if (overlay.texture && contextCurrent) glDeleteTextures(1, &overlay.texture);
  overlay.texture = 0;
  if (overlay.textDc) {
    if (overlay.formerBitmap) SelectObject(overlay.textDc, overlay.formerBitmap);
    DeleteDC(overlay.textDc);
  }
  if (overlay.textBitmap) DeleteObject(overlay.textBitmap);
  if (overlay.font) DeleteObject(overlay.font);
  overlay.textDc = nullptr;
  overlay.textBitmap = nullptr;
  overlay.formerBitmap = nullptr;
  overlay.font = nullptr;
  overlay.textPixels = nullptr;
  overlay.made = overlay.tried = false;
  overlay.textureStale = true;
}

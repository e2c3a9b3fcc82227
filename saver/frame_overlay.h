#pragma once
// The frame-rate overlay: the window's frames per second, its p99 tick interval and the process's
// CPU load, drawn with GL over the scene in the window's top-left corner.
#include <windows.h>
#include <GL/gl.h>

#include "frame_overlay_text.h"

// One per GL context: its texture belongs to the context it was made in.
struct FrameOverlay {
  // The text is drawn with GDI into a bitmap and copied into a texture only when it changes
  // (about twice a second); each frame then costs one textured rectangle.
  HDC textDc = nullptr;
  HBITMAP textBitmap = nullptr;
  HGDIOBJ formerBitmap = nullptr;
  HFONT font = nullptr;
  void* textPixels = nullptr;  // the bitmap's, top row first, 32 bits a pixel
  GLuint texture = 0;
  bool made = false, tried = false;
  bool textureStale = true;         // the text changed since the texture was last filled
  int boxWidth = 0, boxHeight = 0;  // the dark box with the text in it, in pixels
  OverlayText text;
};

// Reads the window's frame figures and the process's times when the text is due for a refresh
// (about twice a second) and works it out anew; else only reads the clock.
void UpdateFrameOverlay(FrameOverlay& overlay, HWND window);

// Draws the text over what is in the back buffer, with the window's context current; the scene's
// GL state is left as it was. The texture is made at the first call.
void DrawFrameOverlay(FrameOverlay& overlay, int width, int height);

// Frees the bitmap, and the texture when the overlay's context is current (else the texture goes
// with the context); call before the context is deleted.
void ReleaseFrameOverlay(FrameOverlay& overlay, bool contextCurrent);

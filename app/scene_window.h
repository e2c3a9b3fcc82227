#pragma once
// The demo's one OpenGL window, its message handling and the GL state it sets up.
#include <windows.h>

#include "scene_render.h"

extern HWND mainWindow;
extern HDC deviceContext;
extern HGLRC renderContext;
// Keys held now, and keys pressed since the last frame took them: a key pressed and released
// within one batch of messages is never seen held, yet counts once.
extern bool keyDown[256];
extern bool keyPressed[256];
extern bool windowActive;
extern bool fullscreen;

bool OpenSceneWindow(const char* title, int width, int height, int bits, bool fullscreenFlag);
void CloseSceneWindow();
bool InitRenderState();
LRESULT CALLBACK SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One frame, run when no message waits: draws (while the window is active), shows it and steers
// with its keys. False when the demo ends: Escape, or a frame that failed.
bool RunSceneFrame();
// Handles the waiting messages, then a frame, until WM_QUIT (its code) or the end of the frames
// (0: Escape is a normal way out, as a closed window is).
int RunSceneLoop();

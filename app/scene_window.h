#pragma once
// The demo's one OpenGL window, its message handling and the GL state it sets up.
#include <windows.h>

#include "scene_render.h"

extern HWND mainWindow;
extern HDC deviceContext;
extern HGLRC renderContext;
extern bool keyDown[256];
extern bool windowActive;
extern bool fullscreen;

bool OpenSceneWindow(const char* title, int width, int height, int bits, bool fullscreenFlag);
void CloseSceneWindow();
bool InitRenderState();
LRESULT CALLBACK SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

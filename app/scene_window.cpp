#include "scene_window.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "light_sim.h"
#include "scene_render.h"
#include "textures.h"

HWND mainWindow = nullptr;
HDC deviceContext = nullptr;
HGLRC renderContext = nullptr;
bool keyDown[256] = {};
bool keyPressed[256] = {};
bool windowActive = true;
bool fullscreen = true;

static PIXELFORMATDESCRIPTOR pixelFormat;
static bool pixelFormatFilled = false;

static const char* const windowClassName = "OpenGL";

static void ShowError(const char* text) {
  MessageBoxA(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

static void ShowShutdownError(const char* text) {
  MessageBoxA(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

static bool RegisterSceneClass() {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  wc.lpfnWndProc = SceneWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = windowClassName;
  return RegisterClassA(&wc) != 0;
}

static LONG SwitchToFullscreenMode(int width, int height, int bits) {
  DEVMODEA mode = {};
  mode.dmSize = sizeof(mode);
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  mode.dmBitsPerPel = static_cast<DWORD>(bits);
  return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
}

// True to go on (windowed when the mode was refused and the user accepted that).
static bool EnterFullscreenOrFallBack(int width, int height, int bits) {
  if (SwitchToFullscreenMode(width, height, bits) == DISP_CHANGE_SUCCESSFUL) return true;
  const int answer = MessageBoxA(nullptr,
                                 "The Requested Fullscreen Mode Is Not Supported By\nYour Video "
                                 "Card. Use Windowed Mode Instead?",
                                 "Zell GL", MB_YESNO | MB_ICONEXCLAMATION);
  if (answer == IDYES) {
    fullscreen = false;
    return true;
  }
  MessageBoxA(nullptr, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
  return false;
}

static void FillPixelFormat(int bits) {
  if (pixelFormatFilled) return;
  pixelFormat = ScenePixelFormat(bits);
  pixelFormatFilled = true;
}

// Steps 4 to 13 of opening the window; the text of the first failing step, or null.
static const char* CreateWindowAndContext(const char* title, int width, int height, int bits) {
  DWORD exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
  DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (fullscreen) {
    exStyle = WS_EX_APPWINDOW;
    style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  }
  mainWindow = CreateWindowExA(exStyle, windowClassName, title, style, 0, 0, width, height, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!mainWindow) return "Window Creation Error.";
  FillPixelFormat(bits);
  deviceContext = GetDC(mainWindow);
  if (!deviceContext) return "Can't Create A GL Device Context.";
  const int format = ChoosePixelFormat(deviceContext, &pixelFormat);
  if (format == 0) return "Can't Find A Suitable PixelFormat.";
  if (!SetPixelFormat(deviceContext, format, &pixelFormat)) return "Can't Set The PixelFormat.";
  renderContext = wglCreateContext(deviceContext);
  if (!renderContext) return "Can't Create A GL Rendering Context.";
  if (!wglMakeCurrent(deviceContext, renderContext))
    return "Can't Activate The GL Rendering Context.";
  ShowWindow(mainWindow, SW_SHOW);
  SetForegroundWindow(mainWindow);
  SetFocus(mainWindow);
  ResizeViewport(width, height);
  if (!InitRenderState()) return "Initialization Failed.";
  return nullptr;
}

bool OpenSceneWindow(const char* title, int width, int height, int bits, bool fullscreenFlag) {
  fullscreen = fullscreenFlag;
  if (!RegisterSceneClass()) {
    ShowError("Failed To Register The Window Class.");
    return false;
  }
  if (fullscreen && !EnterFullscreenOrFallBack(width, height, bits)) return false;
  if (fullscreen) ShowCursor(FALSE);

  if (const char* failure = CreateWindowAndContext(title, width, height, bits)) {
    CloseSceneWindow();
    ShowError(failure);
    return false;
  }
  return true;
}

void CloseSceneWindow() {
  if (renderContext) {
    if (!wglMakeCurrent(nullptr, nullptr)) ShowShutdownError("Release Of DC And RC Failed.");
    if (!wglDeleteContext(renderContext)) ShowShutdownError("Release Rendering Context Failed.");
    renderContext = nullptr;
  }
  if (deviceContext) {
    if (!ReleaseDC(mainWindow, deviceContext)) ShowShutdownError("Release Device Context Failed.");
    deviceContext = nullptr;
  }
  if (mainWindow) {
    if (!DestroyWindow(mainWindow)) ShowShutdownError("Could Not Release hWnd.");
    mainWindow = nullptr;
  }
  if (fullscreen) {
    ChangeDisplaySettingsA(nullptr, 0);
    ShowCursor(TRUE);
  }
}

bool InitRenderState() {
  if (!LoadSceneTextures()) return false;
  SetSceneRenderState();
  SetUpScene();
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  return true;
}

static void OnActivate(WPARAM wParam) {
  windowActive = HIWORD(wParam) == 0;
}

// Windows keeps the low four bits of the command for itself.
static bool IsSuppressedSystemCommand(WPARAM wParam) {
  const WPARAM command = wParam & 0xFFF0;
  return command == SC_SCREENSAVE || command == SC_MONITORPOWER;
}

// A press is latched until a frame takes it, so that it counts even when released before then.
static void OnKeyDown(WPARAM key) {
  if (key >= 256) return;
  keyDown[key] = true;
  keyPressed[key] = true;
}

static void OnKeyUp(WPARAM key) {
  if (key < 256) keyDown[key] = false;
}

LRESULT CALLBACK SceneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE: OnActivate(wParam); return 0;
    case WM_SYSCOMMAND:
      if (IsSuppressedSystemCommand(wParam)) return 0;
      break;
    case WM_CLOSE: PostQuitMessage(0); return 0;
    case WM_KEYDOWN: OnKeyDown(wParam); return 0;
    case WM_KEYUP: OnKeyUp(wParam); return 0;
    case WM_SIZE: ResizeViewport(LOWORD(lParam), HIWORD(lParam)); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The keys a frame acts on, held or pressed since the last frame; takes the pressed ones.
static void TakeFrameKeys(bool keys[256]) {
  for (int key = 0; key < 256; ++key) {
    keys[key] = keyDown[key] || keyPressed[key];
    keyPressed[key] = false;
  }
}

bool RunSceneFrame() {
  bool keys[256];
  TakeFrameKeys(keys);
  if (windowActive && !RenderFrame()) return false;
  if (keys[VK_ESCAPE]) return false;
  SwapBuffers(deviceContext);
  ApplySteeringKeys(keys, camera, lightCount);
  return true;
}

int RunSceneLoop() {
  MSG msg = {};
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      continue;
    }
    if (!RunSceneFrame()) return 0;
  }
}

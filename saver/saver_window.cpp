#include "saver_window.h"

#include <GL/gl.h>

#include <cstdlib>
#include <new>

#include "camera_drift.h"
#include "frame_overlay.h"
#include "morvane.h"
#include "random.h"
#include "saver_resources.h"
#include "scene_render.h"
#include "scene_seed.h"
#include "settings_store.h"

namespace {

HINSTANCE pictureModule = nullptr;

// Everything one saver window draws with and from. Nothing here is shared between windows, so a
// preview and the full-screen saver can run side by side in one process.
struct SaverWindow {
  HWND glWindow = nullptr;  // where GL draws: this window, or the hidden one of a copy
  HDC dc = nullptr;         // glWindow's, for the window's whole life
  HGLRC context = nullptr;
  int viewWidth = -1, viewHeight = -1;
  LightScene scene;
  RandomGenerator random;
  SceneGraphics graphics;
  CameraDrift drift;
  unsigned long steps = 0;
  bool glTried = false;
  bool fullScreen = false;
  bool showByCopy = false;               // a preview in this process: see OpenGl
  LRESULT periodMs = DefaultTickAnswer;  // the answer to each tick: the chosen frame rate's period
  bool showFrameRate = false;
  FrameOverlay overlay;
  unsigned char* copy = nullptr;  // the frame read back for showing it by copy
  size_t copyBytes = 0;
};

SaverWindow* StateOf(HWND window) {
  return reinterpret_cast<SaverWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

struct PictureResource {
  const char* fileName;
  int id;
};

const PictureResource pictureResources[] = {
    {"wood.bmp", IDR_WOOD_BMP},
    {"wood2.bmp", IDR_WOOD2_BMP},
    {"plasma.bmp", IDR_PLASMA_BMP},
};

// Windows starts a saver from any folder, so its pictures travel inside it.
RgbImage* ReadPictureResource(const char* fileName) {
  for (const PictureResource& picture : pictureResources) {
    if (lstrcmpA(picture.fileName, fileName) != 0) continue;
    HRSRC found = FindResourceA(pictureModule, MAKEINTRESOURCEA(picture.id), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(pictureModule, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    const DWORD size = SizeofResource(pictureModule, found);
    return ReadDibImage(static_cast<const unsigned char*>(bytes), size);
  }
  return nullptr;
}

// The demo's format, with its 16 colour bits.
bool ChoosePixelFormatFor(HDC dc) {
  PIXELFORMATDESCRIPTOR format = ScenePixelFormat(16);
  const int chosen = ChoosePixelFormat(dc, &format);
  return chosen != 0 && SetPixelFormat(dc, chosen, &format);
}

// Previews keep their pictures clean: the text would cover much of a small one, and what the
// user wants to know is how the full-screen saver runs.
void ApplySettings(SaverWindow& state, const SaverSettings& settings) {
  state.scene.lightCount = static_cast<float>(settings.lights);
  state.scene.glowScale = GlowScaleOf(settings);
  const int period = TickPeriodMsOf(settings);
  state.periodMs = period ? period : SCR_TICK_DISPLAY;
  state.showFrameRate = state.fullScreen && settings.showFrameRate != 0;
}

void CreateSceneGraphics(SaverWindow& state) {
  LoadSceneTextures(state.graphics.textures, ReadPictureResource);
  SetSceneRenderState();
  SetUpSceneGraphics(state.graphics, state.scene.ballRadius);
}

const char drawingWindowClass[] = "GlimmerDrawingWindow";

// A never-shown top-level window of the preview's size that GL draws into.
HWND CreateDrawingWindow(HWND preview) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = drawingWindowClass;
  RegisterClassA(&windowClass);  // fails harmlessly once the class exists
  RECT client = {};
  GetClientRect(preview, &client);
  return CreateWindowExA(WS_EX_TOOLWINDOW, drawingWindowClass, "", WS_POPUP, 0, 0, client.right,
                         client.bottom, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

bool CreateContext(SaverWindow& state) {
  state.dc = GetDC(state.glWindow);
  if (!state.dc || !ChoosePixelFormatFor(state.dc)) return false;
  state.context = wglCreateContext(state.dc);
  if (!state.context || !wglMakeCurrent(state.dc, state.context)) return false;
  CreateSceneGraphics(state);
  return true;
}

void CloseGl(HWND window, SaverWindow& state) {
  if (state.context) {
    const bool current = wglMakeCurrent(state.dc, state.context) != FALSE;
    if (current) ReleaseSceneGraphics(state.graphics);
    ReleaseFrameOverlay(state.overlay, current);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(state.context);
    state.context = nullptr;
  }
  if (state.dc) ReleaseDC(state.glWindow, state.dc);
  state.dc = nullptr;
  if (state.glWindow && state.glWindow != window) DestroyWindow(state.glWindow);
  state.glWindow = nullptr;
}

// NOTE: under Wine, GL swapped into a child window of a top-level window with a caption (a
// configuration sheet) never reaches the screen, and once the child has a pixel format nothing
// drawn there with GDI does either. A preview in this process is small, so it draws into a
// hidden window of its own and copies each frame to its window with GDI (ShowFrameByCopy).
// GL is opened at the first tick rather than at creation, once the window has its final size.
void OpenGl(HWND window, SaverWindow& state) {
  state.glWindow = state.showByCopy ? CreateDrawingWindow(window) : window;
  if (state.glWindow && !CreateContext(state)) CloseGl(window, state);
}

// Switching contexts costs time under Wine: a window alone keeps its context current.
bool BeginFrame(HWND window, SaverWindow& state) {
  if (!state.glTried) {
    state.glTried = true;
    OpenGl(window, state);
  }
  if (!state.context) return false;
  if (wglGetCurrentContext() == state.context && wglGetCurrentDC() == state.dc) return true;
  return wglMakeCurrent(state.dc, state.context) != FALSE;
}

void FitViewport(HWND window, SaverWindow& state) {
  RECT client = {};
  GetClientRect(window, &client);
  if (client.right == state.viewWidth && client.bottom == state.viewHeight) return;
  state.viewWidth = client.right;
  state.viewHeight = client.bottom;
  if (state.glWindow != window) {
    SetWindowPos(state.glWindow, nullptr, 0, 0, state.viewWidth, state.viewHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ResizeViewport(state.viewWidth, state.viewHeight);
}

bool ShowFrameByCopy(HWND window, SaverWindow& state) {
  const size_t stride = (static_cast<size_t>(state.viewWidth) * 3 + 3) & ~static_cast<size_t>(3);
  const size_t bytes = stride * static_cast<size_t>(state.viewHeight);
  if (bytes == 0) return true;
  if (bytes > state.copyBytes) {
    unsigned char* grown = static_cast<unsigned char*>(std::realloc(state.copy, bytes));
    if (!grown) return false;
    state.copy = grown;
    state.copyBytes = bytes;
  }
  // Rows bottom first on 4-byte boundaries in blue-green-red order: a 24-bit DIB as it is.
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, state.viewWidth, state.viewHeight, GL_BGR_EXT, GL_UNSIGNED_BYTE, state.copy);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = state.viewWidth;
  info.bmiHeader.biHeight = state.viewHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC dc = GetDC(window);
  if (!dc) return false;
  const int copied = SetDIBitsToDevice(
      dc, 0, 0, static_cast<DWORD>(state.viewWidth), static_cast<DWORD>(state.viewHeight), 0, 0, 0,
      static_cast<UINT>(state.viewHeight), state.copy, &info, DIB_RGB_COLORS);
  ReleaseDC(window, dc);
  return copied != 0;
}

// The scene exists from creation, so its settings and start are there before the first frame;
// a window whose GL cannot be had still runs as a saver: it stays black and closes as usual.
void OnCreate(HWND window, LPARAM lParam) {
  const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  SaverWindow* state = new (std::nothrow) SaverWindow;
  if (!state) return;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  // Read before DefSaverProc, which releases the record.
  const SaverCreateParams* params =
      create ? static_cast<const SaverCreateParams*>(create->lpCreateParams) : nullptr;
  state->showByCopy = params && params->mode == WINDOWMODE_MONITORPREVIEW;
  state->fullScreen = params && params->mode == WINDOWMODE_FULLSCREEN;
  // Each monitor's window its own swarm; previews answer -1 and keep the demo's start.
  state->random.state = SceneSeedOf(ScrGetWindowMonitor(window, nullptr));
  PlaceLights(state->scene, state->random);
  ApplySettings(*state, ReadSaverSettings());
}

// The framework stops the window's timer first, so no later tick finds the scene gone.
LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefSaverProc(window, WM_DESTROY, wParam, lParam);
  if (SaverWindow* state = StateOf(window)) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    CloseGl(window, *state);
    std::free(state->copy);
    delete state;
  }
  return result;
}

LRESULT OnTick(HWND window) {
  if (DrawSaverFrame(window)) ShowSaverFrame(window);
  const SaverWindow* state = StateOf(window);
  return state ? state->periodMs : DefaultTickAnswer;
}

void OnReloadSettings(HWND window) {
  if (SaverWindow* state = StateOf(window)) ApplySettings(*state, ReadSaverSettings());
}

// The settings page stores every change at once; under an active configuration the framework
// tells the running saver of each, and of OK and Cancel. The General page's settings are the
// framework's own.
LRESULT OnSettingsChanged(HWND window, WPARAM wParam, LPARAM lParam) {
  if (wParam & SCRSETTINGS_SAVER) OnReloadSettings(window);
  return DefSaverProc(window, SCRM_SETTINGSCHANGED, wParam, lParam);
}

}  // namespace

void SetPictureModule(HINSTANCE module) {
  pictureModule = module;
}

bool DrawSaverFrame(HWND window) {
  SaverWindow* state = StateOf(window);
  if (!state) return false;
  if (!BeginFrame(window, *state)) return false;
  FitViewport(window, *state);
  SteerCameraDrift(state->drift, state->scene.camera, state->scene);
  RenderFrame(state->scene, state->graphics);
  if (state->showFrameRate) {
    UpdateFrameOverlay(state->overlay, window);
    DrawFrameOverlay(state->overlay, state->viewWidth, state->viewHeight);
  }
  ++state->steps;
  return true;
}

void ShowSaverFrame(HWND window) {
  SaverWindow* state = StateOf(window);
  if (!state || !state->context) return;
  if (state->showByCopy) ShowFrameByCopy(window, *state);
  else SwapBuffers(state->dc);
}

unsigned long SaverWindowSteps(HWND window) {
  const SaverWindow* state = StateOf(window);
  return state ? state->steps : 0;
}

const LightScene* SaverWindowScene(HWND window) {
  const SaverWindow* state = StateOf(window);
  return state ? &state->scene : nullptr;
}

LRESULT CALLBACK GlimmerSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: OnCreate(window, lParam); break;
    case WM_DESTROY: return OnDestroy(window, wParam, lParam);
    case WM_ERASEBKGND: return 1;
    case SCRM_TIMER: return OnTick(window);
    case GLIMMER_RELOADSETTINGS: OnReloadSettings(window); return 0;
    case SCRM_SETTINGSCHANGED: return OnSettingsChanged(window, wParam, lParam);
  }
  return DefSaverProc(window, message, wParam, lParam);
}

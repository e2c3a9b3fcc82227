/* Bounce: coloured balls bouncing around the screen, the example saver of
   docs/writing-a-saver.md, which quotes this file. One C file on Morvane's public header, with its
   settings page in bounce.rc. It links either way: with the framework linked whole into the
   program, or through morvane.dll.

   Build options (compile definitions):
     BOUNCE_DEBUG               the framework's trace lines (seen in a debugger), and the
                                full-screen saver in a small ordinary window
     BOUNCE_CLOSE_AFTER_FRAMES  the full-screen saver closes itself after that many frames, as if
                                the user had pressed a key; the builds that CI runs under Wine use
                                it so that "/s" ends by itself */
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include "morvane.h"
#include "bounce.h"

/* ---- Settings: in the registry, read whenever a window or the page starts ---- */

typedef struct BounceSettings {
  int balls;
  int speed;
} BounceSettings;

static const char settingsKey[] = "Software\\Morvane Examples\\Bounce";

static int Clamp(int value, int low, int high) {
  return value < low ? low : value > high ? high : value;
}

static int ReadNumber(HKEY key, const char* name, int fallback) {
  DWORD value = 0, type = 0, size = sizeof value;
  if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)&value, &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return fallback;
  }
  return (int)value;
}

static void LoadSettings(BounceSettings* settings) {
  HKEY key;
  settings->balls = 8;
  settings->speed = 4;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    settings->balls = ReadNumber(key, "Balls", settings->balls);
    settings->speed = ReadNumber(key, "Speed", settings->speed);
    RegCloseKey(key);
  }
  settings->balls = Clamp(settings->balls, BOUNCE_MIN_BALLS, BOUNCE_MAX_BALLS);
  settings->speed = Clamp(settings->speed, BOUNCE_MIN_SPEED, BOUNCE_MAX_SPEED);
}

static void StoreSettings(const BounceSettings* settings) {
  HKEY key;
  DWORD balls = (DWORD)settings->balls, speed = (DWORD)settings->speed;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, settingsKey, 0, NULL, 0, KEY_WRITE, NULL, &key, NULL) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "Balls", 0, REG_DWORD, (const BYTE*)&balls, sizeof balls);
  RegSetValueExA(key, "Speed", 0, REG_DWORD, (const BYTE*)&speed, sizeof speed);
  RegCloseKey(key);
}

/* ---- One saver window: the full-screen saver, or a preview ---- */

/* Sent by the settings page to its live preview: lParam points to the page's BounceSettings. */
#define BOUNCEM_SETTINGS (WM_APP + 100)

/* One frame every 33 ms: about 30 frames a second. */
#define BOUNCE_FRAME_MS 33

typedef struct Ball {
  int x, y, dx, dy, radius;
  COLORREF colour;
} Ball;

/* Everything a window draws from, kept per window (GWLP_USERDATA): the full-screen saver, the
   system's preview and the page's preview can all run in one process at once. */
typedef struct Bounce {
  int mode; /* a WindowMode */
  BounceSettings settings;
  Ball balls[BOUNCE_MAX_BALLS];
  unsigned random;
  int frames;
} Bounce;

static Bounce* BounceOf(HWND window) {
  return (Bounce*)GetWindowLongPtrA(window, GWLP_USERDATA);
}

static int Random(Bounce* bounce, int range) {
  bounce->random = bounce->random * 1103515245u + 12345u;
  return (int)((bounce->random >> 16) % (unsigned)range);
}

/* New balls anywhere in a width by height area; their size follows the area's, so that a
   preview shows what the full screen does, smaller. */
static void Scatter(Bounce* bounce, int width, int height) {
  int i, radius = (width < height ? width : height) / 20 + 1;
  for (i = 0; i < BOUNCE_MAX_BALLS; ++i) {
    Ball* ball = &bounce->balls[i];
    ball->radius = radius;
    ball->x = radius + Random(bounce, width > 2 * radius ? width - 2 * radius : 1);
    ball->y = radius + Random(bounce, height > 2 * radius ? height - 2 * radius : 1);
    ball->dx = Random(bounce, 2) ? 1 : -1;
    ball->dy = Random(bounce, 2) ? 1 : -1;
    ball->colour =
        RGB(64 + Random(bounce, 192), 64 + Random(bounce, 192), 64 + Random(bounce, 192));
  }
}

static void Move(Bounce* bounce, int width, int height) {
  int i, step = bounce->settings.speed * (width / 320 + 1);
  for (i = 0; i < bounce->settings.balls; ++i) {
    Ball* ball = &bounce->balls[i];
    ball->x += ball->dx * step;
    ball->y += ball->dy * step;
    if (ball->x < ball->radius || ball->x > width - ball->radius) ball->dx = -ball->dx;
    if (ball->y < ball->radius || ball->y > height - ball->radius) ball->dy = -ball->dy;
    ball->x = Clamp(ball->x, ball->radius, width - ball->radius);
    ball->y = Clamp(ball->y, ball->radius, height - ball->radius);
  }
}

/* Draws off screen and copies the frame at once, so nothing flickers. */
static void Draw(HWND window, HDC target, const Bounce* bounce) {
  RECT area;
  HDC canvas;
  HBITMAP picture;
  HGDIOBJ oldPicture, oldPen;
  int i;
  GetClientRect(window, &area);
  canvas = CreateCompatibleDC(target);
  picture = CreateCompatibleBitmap(target, area.right, area.bottom);
  if (!canvas || !picture) {
    if (picture) DeleteObject(picture);
    if (canvas) DeleteDC(canvas);
    return;
  }
  oldPicture = SelectObject(canvas, picture);
  oldPen = SelectObject(canvas, GetStockObject(NULL_PEN));
  FillRect(canvas, &area, (HBRUSH)GetStockObject(BLACK_BRUSH));
  for (i = 0; i < bounce->settings.balls; ++i) {
    const Ball* ball = &bounce->balls[i];
    HBRUSH brush = CreateSolidBrush(ball->colour);
    HGDIOBJ oldBrush = SelectObject(canvas, brush);
    Ellipse(canvas, ball->x - ball->radius, ball->y - ball->radius, ball->x + ball->radius,
            ball->y + ball->radius);
    SelectObject(canvas, oldBrush);
    DeleteObject(brush);
  }
  BitBlt(target, 0, 0, area.right, area.bottom, canvas, 0, 0, SRCCOPY);
  SelectObject(canvas, oldPen);
  SelectObject(canvas, oldPicture);
  DeleteObject(picture);
  DeleteDC(canvas);
}

/* The creation record belongs to the framework: read its mode before passing WM_CREATE on to
   DefSaverProc, which sets the window up for its ticks and releases the record. */
static LRESULT OnCreate(HWND window, WPARAM wParam, LPARAM lParam) {
  const CREATESTRUCTA* create = (const CREATESTRUCTA*)lParam;
  const SaverCreateParams* params = (const SaverCreateParams*)create->lpCreateParams;
  Bounce* bounce = (Bounce*)calloc(1, sizeof *bounce);
  if (!bounce) return -1; /* no window: the mode ends with 2 */
  bounce->mode = params ? params->mode : WINDOWMODE_FULLSCREEN;
  bounce->random = GetTickCount() ^ (unsigned)(UINT_PTR)window;
  LoadSettings(&bounce->settings);
  Scatter(bounce, create->cx, create->cy);
  SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)bounce);
  return DefSaverProc(window, WM_CREATE, wParam, lParam);
}

/* A tick on the timer thread's behalf: draw one frame, then say when the next is due. */
static LRESULT OnTick(HWND window, Bounce* bounce) {
  RECT area;
  HDC target;
  if (!bounce) return -1; /* no state, nothing to draw: stop the ticks */
  GetClientRect(window, &area);
  Move(bounce, area.right, area.bottom);
  target = GetDC(window);
  if (target) {
    Draw(window, target, bounce);
    ReleaseDC(window, target);
  }
  ++bounce->frames;
#ifdef BOUNCE_CLOSE_AFTER_FRAMES
  if (bounce->mode == WINDOWMODE_FULLSCREEN && bounce->frames == BOUNCE_CLOSE_AFTER_FRAMES) {
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
#endif
  return BOUNCE_FRAME_MS;
}

static void OnPaint(HWND window, const Bounce* bounce) {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(window, &paint);
  if (target && bounce) Draw(window, target, bounce);
  EndPaint(window, &paint);
}

static void OnNewSettings(Bounce* bounce, const BounceSettings* settings) {
  if (bounce && settings) bounce->settings = *settings;
}

/* DefSaverProc handles WM_DESTROY first: it stops the window's timer, so no tick can come once the
   state is gone. */
static LRESULT OnDestroy(HWND window, WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefSaverProc(window, WM_DESTROY, wParam, lParam);
  free(BounceOf(window));
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return result;
}

static LRESULT CALLBACK BounceProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window, wParam, lParam);
    case SCRM_TIMER: return OnTick(window, BounceOf(window));
    case WM_ERASEBKGND: return 1; /* every frame covers the whole window */
    case WM_PAINT: OnPaint(window, BounceOf(window)); return 0;
    case BOUNCEM_SETTINGS: OnNewSettings(BounceOf(window), (const BounceSettings*)lParam); return 0;
    case WM_DESTROY: return OnDestroy(window, wParam, lParam);
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

/* ---- The settings page, dialog 2003 ---- */

/* The page's state: the sheet runs one page at a time, on the saver's thread. */
static BounceSettings pageSettings; /* what the controls show */
static HWND pagePreview;            /* the live preview in the monitor control */

static void ShowInPreview(void) {
  if (pagePreview) SendMessageA(pagePreview, BOUNCEM_SETTINGS, 0, (LPARAM)&pageSettings);
}

static INT_PTR OnPageInit(HWND page) {
  LoadSettings(&pageSettings);
  SendDlgItemMessageA(page, IDC_BOUNCE_SPIN, UDM_SETRANGE32, BOUNCE_MIN_BALLS, BOUNCE_MAX_BALLS);
  SendDlgItemMessageA(page, IDC_BOUNCE_SPIN, UDM_SETPOS32, 0, pageSettings.balls);
  SendDlgItemMessageA(page, IDC_BOUNCE_SPEED, TBM_SETRANGE, FALSE,
                      MAKELPARAM(BOUNCE_MIN_SPEED, BOUNCE_MAX_SPEED));
  SendDlgItemMessageA(page, IDC_BOUNCE_SPEED, TBM_SETPOS, TRUE, pageSettings.speed);
  /* A saver window of this program inside the monitor control, ticked like any other. */
  pagePreview = CreatePreview(GetDlgItem(page, IDC_BOUNCE_PREVIEW));
  return TRUE;
}

static INT_PTR OnPageCommand(HWND page, WPARAM wParam) {
  BOOL read = FALSE;
  int balls;
  if (LOWORD(wParam) != IDC_BOUNCE_COUNT || HIWORD(wParam) != EN_CHANGE) return FALSE;
  balls = (int)GetDlgItemInt(page, IDC_BOUNCE_COUNT, &read, FALSE);
  if (!read) return TRUE;
  pageSettings.balls = Clamp(balls, BOUNCE_MIN_BALLS, BOUNCE_MAX_BALLS);
  ShowInPreview();
  return TRUE;
}

static INT_PTR OnPageScroll(HWND page) {
  pageSettings.speed = Clamp((int)SendDlgItemMessageA(page, IDC_BOUNCE_SPEED, TBM_GETPOS, 0, 0),
                             BOUNCE_MIN_SPEED, BOUNCE_MAX_SPEED);
  ShowInPreview();
  return TRUE;
}

/* The sheet's OK and Cancel arrive as notifications, not as IDOK and IDCANCEL commands: OK
   (PSN_APPLY) keeps what the page shows; Cancel (PSN_RESET) has nothing to put back, since
   nothing was stored before OK. */
static INT_PTR OnPageNotify(HWND page, const NMHDR* notice) {
  switch (notice->code) {
    case PSN_APPLY:
      StoreSettings(&pageSettings);
      SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
      return TRUE;
    case PSN_RESET: return TRUE;
    default: return FALSE;
  }
}

/* The preview goes with the page (it is a child of the page's monitor control). */
static INT_PTR OnPageDestroy(void) {
  pagePreview = NULL;
  return FALSE;
}

static INT_PTR CALLBACK BouncePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnPageInit(page);
    case WM_COMMAND: return OnPageCommand(page, wParam);
    case WM_HSCROLL: return OnPageScroll(page);
    case WM_NOTIFY: return OnPageNotify(page, (const NMHDR*)lParam);
    case WM_DESTROY: return OnPageDestroy();
    default: return FALSE;
  }
}

/* ---- The program ---- */

/* Called by ScrMain before it registers anything or runs any mode: the place to register the
   classes of the page's controls, here the up-down control and the trackbar. */
static void WINAPI BounceInit(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls;
  (void)instance;
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_UPDOWN_CLASS | ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  ScrPrefs* prefs = ScrGetPrefs();
  (void)previous;
  (void)commandLine;
  (void)show;
  if (prefs) {
    prefs->allowActiveConfig = 1; /* a right click on the running saver opens the settings */
#ifdef BOUNCE_DEBUG
    prefs->debugTrace = 1; /* the framework's trace lines, to the debugger */
    prefs->debugMode = 1;  /* "/s" in a small window that the debugger can sit beside */
#endif
    ScrSetPrefs(prefs);
  }
  /* Reads the command line ("/s", "/p N", "/c", "/a") and returns the exit code of the mode. */
  return ScrMain(instance, BounceProc, BouncePageProc, BounceInit, 0);
}

/* Pulse: a small saver written the SDK screen-saver library's way (scrnsave.h), in C with OpenGL,
   for the UNICODE library. A square turns and pulses in the middle of the screen; its settings
   dialog (2003) chooses whether it turns. It links with Morvane's library in place of the SDK's:
   -lmorvane_scrnsavw for -lscrnsavw, nothing else changes. */
#define UNICODE
#define _UNICODE
#include <windows.h>
#include <scrnsave.h>
#include <GL/gl.h>

#define PULSE_TIMER    1
#define PULSE_MS       33
#define IDC_PULSE_TURN 101

static HDC target;
static HGLRC context;
static int frames;
static BOOL turns = TRUE;

/* The setting lives under the application's name (string idsAppName). */
static void LoadSetting(void) {
  turns = GetProfileInt(szAppName, L"Turns", 1) != 0;
}

static void StoreSetting(void) {
  WriteProfileString(szAppName, L"Turns", turns ? L"1" : L"0");
}

static BOOL StartOpenGL(HWND window) {
  PIXELFORMATDESCRIPTOR format;
  int chosen;
  ZeroMemory(&format, sizeof format);
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 24;
  target = GetDC(window);
  chosen = ChoosePixelFormat(target, &format);
  if (!chosen || !SetPixelFormat(target, chosen, &format)) return FALSE;
  context = wglCreateContext(target);
  return context && wglMakeCurrent(target, context);
}

static void StopOpenGL(HWND window) {
  wglMakeCurrent(NULL, NULL);
  if (context) wglDeleteContext(context);
  if (target) ReleaseDC(window, target);
  context = NULL;
  target = NULL;
}

static void Draw(HWND window) {
  RECT area;
  float size = 0.3f + 0.1f * (float)(frames % 30) / 30.0f;
  GetClientRect(window, &area);
  glViewport(0, 0, area.right, area.bottom);
  glClearColor(0.0f, 0.0f, 0.1f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  if (area.bottom > 0) glScalef((float)area.bottom / (float)(area.right ? area.right : 1), 1, 1);
  if (turns) glRotatef((float)frames * 3.0f, 0, 0, 1);
  glBegin(GL_QUADS);
  glColor3f(1.0f, 0.5f, 0.1f);
  glVertex2f(-size, -size);
  glColor3f(0.2f, 0.8f, 1.0f);
  glVertex2f(size, -size);
  glColor3f(1.0f, 1.0f, 1.0f);
  glVertex2f(size, size);
  glColor3f(0.6f, 0.1f, 0.9f);
  glVertex2f(-size, size);
  glEnd();
  SwapBuffers(target);
  ++frames;
}

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      LoadSetting();
      if (!StartOpenGL(window)) return -1;
      SetTimer(window, PULSE_TIMER, PULSE_MS, NULL);
      return 0;
    case WM_ERASEBKGND: return 1; /* every frame covers the window */
    case WM_TIMER: Draw(window); return 0;
    case WM_DESTROY:
      KillTimer(window, PULSE_TIMER);
      StopOpenGL(window);
      break;
    default: break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  switch (message) {
    case WM_INITDIALOG:
      LoadSetting();
      CheckDlgButton(dialog, IDC_PULSE_TURN, turns ? BST_CHECKED : BST_UNCHECKED);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        turns = IsDlgButtonChecked(dialog, IDC_PULSE_TURN) == BST_CHECKED;
        StoreSetting();
        EndDialog(dialog, IDOK);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
      }
      return TRUE;
    default: return FALSE;
  }
}

BOOL WINAPI RegisterDialogClasses(HANDLE instance) {
  (void)instance;
  return TRUE;
}

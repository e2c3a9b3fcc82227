/* A saver that gives the configuration sheet its own caption (string 3501) and icon (100) and
   keeps texts of its own under ids the framework also uses for its strings (50, 3534, 3560). The
   framework's strings must neither clash with them when it is linked whole nor hide them, and the
   framework must go on finding its own texts beside them ("&About", the General page's lists).
   Built three ways: linked whole through CMake, through morvane.dll (OWN_LOOK_DLL), and linked
   whole with the plain MinGW command line of the author's guide (tests/framework/guide).

   Run with "/c". A second thread waits for the sheet, reads it and presses Cancel. Exit code 0
   when every check held, else the code of the first that failed (see Failure); one line on stderr
   says what was seen. */
#include "morvane.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "saver_own_look.h"

/* Where the framework, and with it its icon 199, lives: this program or morvane.dll. */
#ifdef OWN_LOOK_DLL
#define OWN_LOOK_FRAMEWORK_MODULE "morvane.dll"
#else
#define OWN_LOOK_FRAMEWORK_MODULE NULL
#endif
#define OWN_LOOK_FRAMEWORK_ICON 199

/* Distinct from the configuration's own results (0 Cancel, 1 OK, -1 failure). */
enum Failure {
  Passed = 0,
  NoSheet = 20,           /* no sheet of this program appeared */
  WrongCaption = 21,      /* the sheet's caption is not string 3501 of this program */
  WrongIcon = 22,         /* the sheet's small icon is not icon 100 of this program */
  NoAboutItem = 23,       /* the framework's "&About" item (its string 3500) is missing */
  FrameworkTextLost = 24, /* the General page's sensitivity list lacks the framework's texts */
  OwnTextLost = 25,       /* one of this program's own strings does not load */
  NotExported = 26,       /* linked whole, the program does not export the public operations */
  WrongResult = 27,       /* ScrMain did not return Cancel's 0 */
  FrameworkIconLost = 28  /* the framework's icon 199 is missing or shows this program's icon */
};

/* What the second thread saw; written by it, read by the main thread after joining it. */
typedef struct Seen {
  DWORD mainThread;
  HWND sheet;
  char caption[128];
  COLORREF iconPixel;
  char aboutItem[64];
  char sensitivity[64];
} Seen;

static Seen seen;

enum { SensitivityList = 3632, SheetWaitMs = 15000, PollMs = 20 };

static BOOL CALLBACK FindSheet(HWND window, LPARAM found) {
  char className[32];
  if (GetWindowThreadProcessId(window, NULL) != seen.mainThread || !IsWindowVisible(window)) {
    return TRUE;
  }
  GetClassNameA(window, className, sizeof className);
  if (strcmp(className, "#32770") != 0 || !FindWindowExA(window, NULL, WC_TABCONTROLA, NULL)) {
    return TRUE;
  }
  *(HWND*)found = window;
  return FALSE;
}

/* The centre pixel of an icon's colour picture as 0x00RRGGBB; 0xFFFFFFFF for no icon. */
static COLORREF CentrePixel(HICON icon) {
  enum { MaxSide = 64 };
  static DWORD pixels[MaxSide * MaxSide];
  ICONINFO info;
  BITMAP bitmap;
  BITMAPINFO format;
  COLORREF pixel = 0xFFFFFFFF;
  HDC screen;
  if (!icon || !GetIconInfo(icon, &info)) return pixel;
  memset(&bitmap, 0, sizeof bitmap);
  GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
  memset(&format, 0, sizeof format);
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = bitmap.bmWidth;
  format.bmiHeader.biHeight = -bitmap.bmHeight; /* top-down */
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  screen = GetDC(NULL);
  if (bitmap.bmWidth > 0 && bitmap.bmWidth <= MaxSide && bitmap.bmHeight > 0 &&
      bitmap.bmHeight <= MaxSide &&
      GetDIBits(screen, info.hbmColor, 0, (UINT)bitmap.bmHeight, pixels, &format, DIB_RGB_COLORS) ==
          bitmap.bmHeight) {
    pixel = pixels[(bitmap.bmHeight / 2) * bitmap.bmWidth + bitmap.bmWidth / 2] & 0xFFFFFF;
  }
  ReleaseDC(NULL, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return pixel;
}

static void ReadSheet(HWND sheet) {
  HMENU menu = GetSystemMenu(sheet, FALSE);
  HWND page;
  HWND list;
  GetWindowTextA(sheet, seen.caption, sizeof seen.caption);
  seen.iconPixel = CentrePixel((HICON)SendMessageA(sheet, WM_GETICON, ICON_SMALL, 0));
  if (menu)
    GetMenuStringA(menu, OWN_LOOK_ABOUT_ITEM, seen.aboutItem, sizeof seen.aboutItem, MF_BYCOMMAND);
  /* The sheet opens on the saver's page: the General page fills its lists when it is shown. */
  SendMessageA(sheet, PSM_SETCURSEL, 0, 0);
  page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
  list = page ? GetDlgItem(page, SensitivityList) : NULL;
  if (list && SendMessageA(list, CB_GETLBTEXTLEN, 0, 0) < (LRESULT)sizeof seen.sensitivity) {
    SendMessageA(list, CB_GETLBTEXT, 0, (LPARAM)seen.sensitivity);
  }
}

static DWORD WINAPI WatchSheet(void* unused) {
  HWND sheet = NULL;
  DWORD waited;
  (void)unused;
  for (waited = 0; !sheet && waited < SheetWaitMs; waited += PollMs) {
    EnumWindows(FindSheet, (LPARAM)&sheet);
    if (!sheet) Sleep(PollMs);
  }
  seen.sheet = sheet;
  if (!sheet) return 0;
  ReadSheet(sheet);
  SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  return 0;
}

static INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  (void)page;
  (void)wParam;
  (void)lParam;
  return message == WM_INITDIALOG;
}

static LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSaverProc(window, message, wParam, lParam);
}

static int OwnStringIs(HINSTANCE instance, UINT id, const char* expected) {
  char text[128] = "";
  LoadStringA(instance, id, text, sizeof text);
  return strcmp(text, expected) == 0;
}

static int OwnStringsLoad(HINSTANCE instance) {
  return OwnStringIs(instance, OWN_LOOK_CAPTION, OWN_LOOK_CAPTION_TEXT) &&
         OwnStringIs(instance, OWN_LOOK_TEXT_50, OWN_LOOK_TEXT_50_TEXT) &&
         OwnStringIs(instance, OWN_LOOK_TEXT_3534, OWN_LOOK_TEXT_3534_TEXT) &&
         OwnStringIs(instance, OWN_LOOK_HELP_FILE, OWN_LOOK_HELP_FILE_TEXT);
}

/* Linked whole, the program itself must offer the public operations under their plain names, as
   morvane.dll does; through the DLL it offers none. */
static int ExportsAsExpected(void) {
  HMODULE self = GetModuleHandleA(NULL);
  int plain = GetProcAddress(self, "ScrMain") && GetProcAddress(self, "DefSaverProc") &&
              GetProcAddress(self, "ScrGetPrefs") && GetProcAddress(self, "CreatePreview");
  int decorated = GetProcAddress(self, "ScrMain@20") != NULL;
#ifdef OWN_LOOK_DLL
  return !plain && !decorated;
#else
  return plain && !decorated;
#endif
}

/* The framework's own icon, from the module that carries the framework: its pictures must be its
   own, not those of this program's icon 100 (a resource compiler numbers the images of both icons
   from 1; linked into one program, one set would hide the other). */
static COLORREF FrameworkIconPixel(void) {
  HMODULE framework = GetModuleHandleA(OWN_LOOK_FRAMEWORK_MODULE);
  HANDLE icon = framework ? LoadImageA(framework, MAKEINTRESOURCEA(OWN_LOOK_FRAMEWORK_ICON),
                                       IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)
                          : NULL;
  COLORREF pixel = CentrePixel((HICON)icon);
  if (icon) DestroyIcon((HICON)icon);
  return pixel;
}

static enum Failure Judge(int result, HINSTANCE instance) {
  if (!seen.sheet) return NoSheet;
  if (strcmp(seen.caption, OWN_LOOK_CAPTION_TEXT) != 0) return WrongCaption;
  if (seen.iconPixel != OWN_LOOK_ICON_PIXEL) return WrongIcon;
  if (strcmp(seen.aboutItem, "&About") != 0) return NoAboutItem;
  if (strcmp(seen.sensitivity, "High") != 0) return FrameworkTextLost;
  if (!OwnStringsLoad(instance)) return OwnTextLost;
  if (!ExportsAsExpected()) return NotExported;
  if (result != 0) return WrongResult;
  if (FrameworkIconPixel() == 0xFFFFFFFF || FrameworkIconPixel() == OWN_LOOK_ICON_PIXEL) {
    return FrameworkIconLost;
  }
  return Passed;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  HANDLE watcher;
  int result;
  enum Failure failure;
  (void)previous;
  (void)commandLine;
  (void)show;
  seen.mainThread = GetCurrentThreadId();
  watcher = CreateThread(NULL, 0, WatchSheet, NULL, 0, NULL);
  if (!watcher) return NoSheet;
  result = ScrMain(instance, SaverProc, PageProc, NULL, 0);
  WaitForSingleObject(watcher, INFINITE);
  CloseHandle(watcher);
  failure = Judge(result, instance);
  fprintf(stderr,
          "saver_own_look: ScrMain=%d caption=[%s] icon=%06lx about=[%s] sensitivity=[%s] "
          "own strings=%d exports=%d framework icon=%06lx -> %d\n",
          result, seen.caption, (unsigned long)seen.iconPixel, seen.aboutItem, seen.sensitivity,
          OwnStringsLoad(instance), ExportsAsExpected(), (unsigned long)FrameworkIconPixel(),
          (int)failure);
  fflush(stderr);
  return failure;
}

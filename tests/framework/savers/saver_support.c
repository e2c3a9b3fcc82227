#include "saver_support.h"

#include <string.h>

#define TICKS_PROPERTY "MorvaneTestTicks"

static const COLORREF palette[4] = {RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 0),
                                    RGB(0, 128, 255)};

static const struct {
  const char* variable;
  const char* key;
  const char* value;
  DWORD type;
} testSettings[] = {
    {"MORVANE_TEST_DELAY", "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers",
     "Password Delay", REG_DWORD},
    {"MORVANE_TEST_THRESHOLD", "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers",
     "Mouse Threshold", REG_DWORD},
    {"MORVANE_TEST_ACTIVECONFIG", "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers",
     "Active Config", REG_DWORD},
    /* As Windows NT stores it: text. */
    {"MORVANE_TEST_USEPASSWORD", "Control Panel\\Desktop", "ScreenSaveUsePassword", REG_SZ},
};

COLORREF TickColour(int tick) {
  return palette[tick % 4];
}

static void ApplyTestPrefs(void) {
  ScrPrefs* prefs = ScrGetPrefs();
  if (!prefs) return;
  prefs->allowActiveConfig = TestListHas("MORVANE_TEST_PREFS", "allowActiveConfig");
  prefs->debugMode = TestListHas("MORVANE_TEST_PREFS", "debugMode");
  prefs->debugTrace = TestListHas("MORVANE_TEST_PREFS", "debugTrace");
  prefs->noTimers = TestListHas("MORVANE_TEST_PREFS", "noTimers");
  prefs->alwaysPassword = TestListHas("MORVANE_TEST_PREFS", "alwaysPassword");
  prefs->neverPassword = TestListHas("MORVANE_TEST_PREFS", "neverPassword");
  prefs->activeConfigPassword = !TestListHas("MORVANE_TEST_PREFS", "noActiveConfigPassword");
  ScrSetPrefs(prefs);
}

static void WriteTestSettings(void) {
  size_t i;
  for (i = 0; i < sizeof testSettings / sizeof testSettings[0]; ++i) {
    HKEY key;
    char text[32];
    DWORD number;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, testSettings[i].key, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                        &key, NULL) != ERROR_SUCCESS) {
      continue;
    }
    if (!GetEnvironmentVariableA(testSettings[i].variable, text, sizeof text)) {
      RegDeleteValueA(key, testSettings[i].value);
    } else if (testSettings[i].type == REG_SZ) {
      RegSetValueExA(key, testSettings[i].value, 0, REG_SZ, (const BYTE*)text,
                     (DWORD)strlen(text) + 1);
    } else {
      number = (DWORD)TestNumber(testSettings[i].variable, 0);
      RegSetValueExA(key, testSettings[i].value, 0, REG_DWORD, (const BYTE*)&number, sizeof number);
    }
    RegCloseKey(key);
  }
}

/* The framework's trace lines arrive as the exception OutputDebugStringA raises. */
static LONG CALLBACK CaptureTraceLine(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  char line[300];
  size_t length;
  if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  lstrcpynA(line, (const char*)record->ExceptionInformation[1], sizeof line);
  length = strlen(line);
  while (length && (line[length - 1] == '\n' || line[length - 1] == '\r')) line[--length] = 0;
  TestLog("trace %s", line);
  return EXCEPTION_CONTINUE_EXECUTION;
}

void PrepareTestSaver(void) {
  ApplyTestPrefs();
  if (TestListHas("MORVANE_TEST_OPTIONS", "freshsettings")) {
    RegDeleteKeyA(HKEY_CURRENT_USER, testSettings[0].key);
  }
  WriteTestSettings();
  if (TestListHas("MORVANE_TEST_PREFS", "debugTrace"))
    AddVectoredExceptionHandler(1, CaptureTraceLine);
  SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
}

void LogCreation(HWND window, const CREATESTRUCTA* create) {
  const SaverCreateParams* params = (const SaverCreateParams*)create->lpCreateParams;
  char className[64] = "";
  POINT cursor = {0, 0};
  GetClassNameA(window, className, sizeof className);
  GetCursorPos(&cursor);
  TestLog(
      "created mode=%d parent=0x%x x=%d y=%d w=%d h=%d style=0x%08lx exstyle=0x%08lx class=%s "
      "cursor=%d,%d",
      params ? params->mode : -1, (unsigned)(UINT_PTR)create->hwndParent, create->x, create->y,
      create->cx, create->cy, (unsigned long)create->style, (unsigned long)create->dwExStyle,
      className, (int)cursor.x, (int)cursor.y);
}

static void LogSettingsChanged(HWND window, WPARAM flags, const ScrSettings* settings) {
  if (!settings) {
    TestLog("settingschanged parent=0x%x flags=0x%x none", (unsigned)(UINT_PTR)GetParent(window),
            (unsigned)flags);
    return;
  }
  TestLog(
      "settingschanged parent=0x%x flags=0x%x corners=%d%d%d%d mute=%d threshold=%d delay=%d "
      "active=%d",
      (unsigned)(UINT_PTR)GetParent(window), (unsigned)flags, settings->corners[0],
      settings->corners[1], settings->corners[2], settings->corners[3], settings->muteSound,
      settings->mouseThreshold, settings->passwordDelay, settings->activeConfig);
}

void LogSaverMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  POINT cursor;
  switch (message) {
    case WM_KEYDOWN: TestLog("keydown 0x%x", (unsigned)wParam); break;
    case WM_SYSKEYDOWN: TestLog("syskeydown 0x%x", (unsigned)wParam); break;
    case WM_SYSCOMMAND: TestLog("syscommand 0x%x", (unsigned)wParam); break;
    case WM_MOUSEMOVE:
      GetCursorPos(&cursor);
      TestLog("mousemove %d %d", (int)cursor.x, (int)cursor.y);
      break;
    case WM_LBUTTONDOWN: TestLog("lbuttondown"); break;
    case WM_MBUTTONDOWN: TestLog("mbuttondown"); break;
    case WM_RBUTTONDOWN: TestLog("rbuttondown"); break;
    case WM_CLOSE: TestLog("close"); break;
    case WM_DESTROY:
      RemovePropA(window, TICKS_PROPERTY);
      TestLog("destroy");
      break;
    case SCRM_VERIFYPW: TestLog("verifypw"); break;
    case SCRM_ACTIVECONFIG: TestLog("activeconfig"); break;
    case SCRM_DIALOGACTIVE: TestLog("dialogactive %d", (int)wParam); break;
    case SCRM_SETTINGSCHANGED:
      LogSettingsChanged(window, wParam, (const ScrSettings*)lParam);
      break;
    default: break;
  }
}

static void PaintTick(HWND window, int tick) {
  HDC dc = GetDC(window);
  RECT area;
  HBRUSH brush = CreateSolidBrush(TickColour(tick));
  GetClientRect(window, &area);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
  ReleaseDC(window, dc);
}

static void LogCursorWhenChanged(void) {
  static int last = -1;
  CURSORINFO info;
  int shown;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) return;
  shown = (info.flags & CURSOR_SHOWING) && info.hCursor != NULL;
  if (shown != last) TestLog("cursor shown=%d", shown);
  last = shown;
}

static void CheckDuringFirstTick(int (*runAgain)(void)) {
  if (TestListHas("MORVANE_TEST_FIRST_TICK", "nested") && runAgain) {
    TestLog("nested result=%d", runAgain());
  }
  if (TestListHas("MORVANE_TEST_FIRST_TICK", "setprefs")) {
    ScrPrefs* prefs = ScrGetPrefs();
    if (prefs) {
      int before = prefs->noTimers;
      prefs->noTimers = !before;
      lstrcpyA(prefs->text1, "set during the run");
      ScrSetPrefs(prefs);
      prefs = ScrGetPrefs();
      if (prefs) {
        TestLog("prefs during run noTimers=%d was=%d text1=[%s]", prefs->noTimers, before,
                prefs->text1);
      }
    }
  }
}

LRESULT TickTestSaver(HWND window, int (*runAgain)(void)) {
  int tick = (int)(INT_PTR)GetPropA(window, TICKS_PROPERTY);
  SetPropA(window, TICKS_PROPERTY, (HANDLE)(INT_PTR)(tick + 1));
  PaintTick(window, tick);
  TestLog("tick %d", tick);
  LogCursorWhenChanged();
  if (tick == 0) CheckDuringFirstTick(runAgain);
  return TestNumber("MORVANE_TEST_PERIOD", 50);
}

// Finds and reads the windows of another program for the end-to-end driver scripts, so that they
// can answer boxes with real clicks at the right places.
//   uiprobe box CAPTION TIMEOUT_MS            wait for a message box; print its text and buttons
//   uiprobe window CLASS TITLE TIMEOUT_MS     wait for a visible top-level window; print its
//   geometry uiprobe gone CLASS TITLE TIMEOUT_MS       wait until no such window exists uiprobe
//   tree CLASS TITLE TIMEOUT_MS       wait for a visible top-level window; print it and
//                                             every window inside it, one line each, text last
//   uiprobe monitors                          print every monitor, the primary marked, then the
//                                             virtual screen
//   uiprobe windows                           print every visible top-level window, topmost first
//   uiprobe paint X Y W H RRGGBB SECONDS      show a plain window of that colour there, as a
//                                             user's window on the desktop, for SECONDS
//   uiprobe send CLASS TITLE MSG WPARAM LPARAM   send a message without pointers to a top-level
//                                             window (numbers in C notation, negative ones too);
//                                             print its answer and QueryPerformanceCounter
//                                             before and after
// CLASS or TITLE "-" matches any. Exit code 0 when found (or gone), 1 on timeout, 2 on misuse.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char* OrNull(const char* s) {
  return std::strcmp(s, "-") == 0 ? nullptr : s;
}

static HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs, bool visible) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindWindowA(OrNull(cls), OrNull(title));
    if (w && (!visible || IsWindowVisible(w))) return w;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(10);
  }
}

// A text on one output line: its line breaks written as \n.
static void PrintOneLine(const char* text) {
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') std::printf("\\n");
    else std::putchar(*p);
  }
  std::printf("\n");
}

static BOOL CALLBACK PrintButton(HWND child, LPARAM) {
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Button") != 0) return TRUE;
  RECT r;
  GetWindowRect(child, &r);
  char text[128] = {};
  GetWindowTextA(child, text, sizeof text);
  std::printf("button id=%d x=%ld y=%ld text=%s\n", GetDlgCtrlID(child), (r.left + r.right) / 2,
              (r.top + r.bottom) / 2, text);
  return TRUE;
}

static int ProbeBox(const char* caption, DWORD timeoutMs) {
  HWND box = WaitForWindow("#32770", caption, timeoutMs, true);
  if (!box) return 1;
  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  std::printf("text=");
  PrintOneLine(text);
  EnumChildWindows(box, PrintButton, 0);
  return 0;
}

static int ProbeWindow(const char* cls, const char* title, DWORD timeoutMs) {
  HWND w = WaitForWindow(cls, title, timeoutMs, true);
  if (!w) return 1;
  RECT r, c;
  GetWindowRect(w, &r);
  GetClientRect(w, &c);
  std::printf("x=%ld y=%ld w=%ld h=%ld client_w=%ld client_h=%ld style=0x%08lx exstyle=0x%08lx\n",
              r.left, r.top, r.right - r.left, r.bottom - r.top, c.right, c.bottom,
              static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(w, GWL_EXSTYLE)));
  return 0;
}

static int ProbeGone(const char* cls, const char* title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (FindWindowA(OrNull(cls), OrNull(title))) {
    if (GetTickCount() - start > timeoutMs) return 1;
    Sleep(10);
  }
  return 0;
}

// What a person sees of a control: where it is, whether it shows and takes input, and its state.
static void PrintWindowLine(HWND w) {
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  RECT r;
  GetWindowRect(w, &r);
  std::printf(
      "hwnd=0x%lx parent=0x%lx class=%s id=%d visible=%d enabled=%d x=%ld y=%ld w=%ld h=%ld "
      "style=0x%08lx",
      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)),
      static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(GetParent(w))), cls, GetDlgCtrlID(w),
      IsWindowVisible(w) ? 1 : 0, IsWindowEnabled(w) ? 1 : 0, r.left, r.top, r.right - r.left,
      r.bottom - r.top, static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)));
  // Messages without pointers only: they work across processes.
  if (lstrcmpiA(cls, "SysTabControl32") == 0)
    std::printf(" items=%d sel=%d", static_cast<int>(SendMessageA(w, TCM_GETITEMCOUNT, 0, 0)),
                static_cast<int>(SendMessageA(w, TCM_GETCURSEL, 0, 0)));
  if (lstrcmpiA(cls, "ComboBox") == 0)
    std::printf(" items=%d sel=%d", static_cast<int>(SendMessageA(w, CB_GETCOUNT, 0, 0)),
                static_cast<int>(SendMessageA(w, CB_GETCURSEL, 0, 0)));
  if (lstrcmpiA(cls, "Button") == 0)
    std::printf(" checked=%d", static_cast<int>(SendMessageA(w, BM_GETCHECK, 0, 0)));
  char text[256] = {};
  GetWindowTextA(w, text, sizeof text);
  std::printf(" text=");
  PrintOneLine(text);
}

static BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  PrintWindowLine(child);
  return TRUE;
}

static int ProbeTree(const char* cls, const char* title, DWORD timeoutMs) {
  HWND w = WaitForWindow(cls, title, timeoutMs, true);
  if (!w) return 1;
  PrintWindowLine(w);
  EnumChildWindows(w, PrintChild, 0);
  return 0;
}

static BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM) {
  MONITORINFOEXA info = {};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  const RECT& r = info.rcMonitor;
  std::printf("monitor x=%ld y=%ld w=%ld h=%ld primary=%d device=%s\n", r.left, r.top,
              r.right - r.left, r.bottom - r.top, (info.dwFlags & MONITORINFOF_PRIMARY) ? 1 : 0,
              info.szDevice);
  return TRUE;
}

static int ProbeMonitors() {
  if (!EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0)) return 1;
  std::printf("virtual x=%d y=%d w=%d h=%d count=%d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
              GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
              GetSystemMetrics(SM_CYVIRTUALSCREEN), GetSystemMetrics(SM_CMONITORS));
  return 0;
}

static BOOL CALLBACK PrintTopLevel(HWND w, LPARAM) {
  if (!IsWindowVisible(w)) return TRUE;
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  RECT r;
  GetWindowRect(w, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char text[128] = {};
  GetWindowTextA(w, text, sizeof text);
  std::printf("hwnd=0x%lx class=%s pid=%lu x=%ld y=%ld w=%ld h=%ld exstyle=0x%08lx text=",
              static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(w)), cls,
              static_cast<unsigned long>(pid), r.left, r.top, r.right - r.left, r.bottom - r.top,
              static_cast<unsigned long>(GetWindowLongA(w, GWL_EXSTYLE)));
  PrintOneLine(text);
  return TRUE;
}

static int ProbeWindows() {
  return EnumWindows(PrintTopLevel, 0) ? 0 : 1;
}

static void OnPaintTimer(HWND w) {
  DestroyWindow(w);
}

static void OnPaintDestroy() {
  PostQuitMessage(0);
}

static LRESULT CALLBACK PaintProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: OnPaintTimer(w); return 0;
    case WM_DESTROY: OnPaintDestroy(); return 0;
    default: return DefWindowProcA(w, message, wParam, lParam);
  }
}

static int ShowPaint(char** argv) {
  const long x = std::strtol(argv[2], nullptr, 10), y = std::strtol(argv[3], nullptr, 10);
  const long width = std::strtol(argv[4], nullptr, 10), height = std::strtol(argv[5], nullptr, 10);
  const unsigned long rgb = std::strtoul(argv[6], nullptr, 16);
  const unsigned long seconds = std::strtoul(argv[7], nullptr, 10);
  if (width <= 0 || height <= 0 || seconds == 0 || seconds > 3600) return 2;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = PaintProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hbrBackground =
      CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  windowClass.lpszClassName = "UiprobePaint";
  if (!RegisterClassA(&windowClass)) return 1;
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "UiprobePaint", "uiprobe paint", WS_POPUP | WS_VISIBLE,
                           x, y, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (!w) return 1;
  SetTimer(w, 1, seconds * 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  DeleteObject(windowClass.hbrBackground);
  return 0;
}

// Sent, not posted, so that the receiver has handled it when this returns; a hung receiver does not
// hang the caller.
static int SendToWindow(char** argv) {
  HWND w = FindWindowA(OrNull(argv[2]), OrNull(argv[3]));
  if (!w) return 1;
  const UINT message = static_cast<UINT>(std::strtoul(argv[4], nullptr, 0));
  const WPARAM wParam = static_cast<WPARAM>(std::strtoull(argv[5], nullptr, 0));
  const LPARAM lParam = static_cast<LPARAM>(std::strtoll(argv[6], nullptr, 0));
  LARGE_INTEGER before = {}, after = {};
  DWORD_PTR answer = 0;
  QueryPerformanceCounter(&before);
  const LRESULT sent =
      SendMessageTimeoutA(w, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer);
  QueryPerformanceCounter(&after);
  if (!sent) return 1;
  std::printf("result=%lld qpc_before=%lld qpc_after=%lld\n", static_cast<long long>(answer),
              static_cast<long long>(before.QuadPart), static_cast<long long>(after.QuadPart));
  return 0;
}

// Whether the idle screen saver is on for the session, as any program sees it.
static int ProbeSaverActive() {
  BOOL active = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return 1;
  std::printf("active=%d\n", active ? 1 : 0);
  return 0;
}

// The session's idle time as any program sees it: milliseconds since the last input.
static int ProbeIdle() {
  LASTINPUTINFO input = {sizeof input, 0};
  if (!GetLastInputInfo(&input)) return 1;
  std::printf("idle=%lu\n", static_cast<unsigned long>(GetTickCount() - input.dwTime));
  return 0;
}

// Input to the session as a key would give it (a tap of Shift, which types nothing): under Wine,
// pointer moves made with xdotool where no Wine window lies do not count as input.
static int GiveInput() {
  INPUT keys[2] = {};
  for (INPUT& key : keys) {
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_SHIFT;
  }
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, keys, sizeof(INPUT)) == 2 ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "box") == 0)
    return ProbeBox(argv[2], std::strtoul(argv[3], nullptr, 10));
  if (argc == 5 && std::strcmp(argv[1], "window") == 0)
    return ProbeWindow(argv[2], argv[3], std::strtoul(argv[4], nullptr, 10));
  if (argc == 5 && std::strcmp(argv[1], "gone") == 0)
    return ProbeGone(argv[2], argv[3], std::strtoul(argv[4], nullptr, 10));
  if (argc == 5 && std::strcmp(argv[1], "tree") == 0)
    return ProbeTree(argv[2], argv[3], std::strtoul(argv[4], nullptr, 10));
  if (argc == 2 && std::strcmp(argv[1], "monitors") == 0) return ProbeMonitors();
  if (argc == 2 && std::strcmp(argv[1], "windows") == 0) return ProbeWindows();
  if (argc == 2 && std::strcmp(argv[1], "saveractive") == 0) return ProbeSaverActive();
  if (argc == 2 && std::strcmp(argv[1], "idle") == 0) return ProbeIdle();
  if (argc == 2 && std::strcmp(argv[1], "input") == 0) return GiveInput();
  if (argc == 8 && std::strcmp(argv[1], "paint") == 0) return ShowPaint(argv);
  if (argc == 7 && std::strcmp(argv[1], "send") == 0) return SendToWindow(argv);
  std::fprintf(stderr,
               "usage: uiprobe box CAPTION MS | window|gone|tree CLASS TITLE MS | monitors | "
               "windows | saveractive | idle | input | paint X Y W H RRGGBB SECONDS | "
               "send CLASS TITLE MSG WPARAM LPARAM\n");
  return 2;
}

// Lists a window and all windows inside it, for the end-to-end tests that look at another
// program's windows (a preview inside its host, the controls of a settings page).
//   window_tree HWND                  the window given by its handle (decimal or 0x hex)
//   window_tree CLASS TITLE TIMEOUT   the first visible top-level window of that class and title
//                                     ("-" matches any), waited for up to TIMEOUT ms
// One line per window, the given one first:
//   hwnd=0x.. parent=0x.. class=.. id=N x=.. y=.. w=.. h=.. visible=V checked=C pid=P title=...
// checked: a button's BM_GETCHECK (0 also for push buttons and group boxes); -1 for other classes.
// Exit code 0 when the window was found, 1 when not, 2 on misuse.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

unsigned Handle(HWND window) {
  return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
}

// Asked with a time limit: the window belongs to another process, which may be busy.
int CheckOf(HWND window, const char* cls) {
  if (lstrcmpiA(cls, "Button") != 0) return -1;
  DWORD_PTR check = 0;
  if (!SendMessageTimeoutA(window, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &check)) return -1;
  return static_cast<int>(check);
}

void PrintWindow(HWND window) {
  char cls[128] = {};
  GetClassNameA(window, cls, sizeof cls);
  char title[128] = {};
  GetWindowTextA(window, title, sizeof title);
  RECT r = {};
  GetWindowRect(window, &r);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  std::printf(
      "hwnd=0x%x parent=0x%x class=%s id=%d x=%ld y=%ld w=%ld h=%ld visible=%d checked=%d pid=%lu "
      "title=%s\n",
      Handle(window), Handle(GetAncestor(window, GA_PARENT)), cls, GetDlgCtrlID(window), r.left,
      r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(window) ? 1 : 0,
      CheckOf(window, cls), static_cast<unsigned long>(pid), title);
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  PrintWindow(child);
  return TRUE;
}

const char* OrNull(const char* s) {
  return std::strcmp(s, "-") == 0 ? nullptr : s;
}

HWND WaitForTopLevel(const char* cls, const char* title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND w = FindWindowA(OrNull(cls), OrNull(title));
    if (w && IsWindowVisible(w)) return w;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(20);
  }
}

}  // namespace

int main(int argc, char** argv) {
  HWND window = nullptr;
  if (argc == 2) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(argv[1], &end, 0);
    if (!end || *end != '\0') return 2;
    window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
    if (!IsWindow(window)) return 1;
  } else if (argc == 4) {
    window =
        WaitForTopLevel(argv[1], argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    if (!window) return 1;
  } else {
    return 2;
  }
  PrintWindow(window);
  EnumChildWindows(window, PrintChild, 0);
  return 0;
}

// A saver author's page with a corners-mode monitor control, for the end-to-end test to click.
// The control is moved to the screen point given as the arguments. Each notification from the
// control shows its mode and corner bits in the page's title ("Monitor page 0x212"); Escape ends
// the program with 0, and it gives up with 1 after 60 s.
#include <windows.h>

#include <cstdlib>

#include "morvane.h"

namespace {

enum { MonitorPage = 7005, MonitorId = 101, GiveUpTimer = 1 };

void ShowNotification(HWND page, WPARAM wParam, LPARAM lParam) {
  HWND control = GetDlgItem(page, MonitorId);
  if (wParam == IDCANCEL) {
    PostQuitMessage(0);
  } else if (wParam == MonitorId && reinterpret_cast<HWND>(lParam) == control) {
    char title[40];
    wsprintfA(title, "Monitor page 0x%03x",
              static_cast<unsigned>(GetWindowLongPtrA(control, GWL_STYLE) & 0xFFF));
    SetWindowTextA(page, title);
  }
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_TIMER: PostQuitMessage(1); return TRUE;
    case WM_COMMAND: ShowNotification(page, wParam, lParam); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 1;
  ScrGetSettings(nullptr);  // the first public call makes the framework's classes available
  HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MonitorPage), nullptr,
                                 PageProc, 0);
  if (!page) return 1;
  RECT control, frame;
  GetWindowRect(GetDlgItem(page, MonitorId), &control);
  GetWindowRect(page, &frame);
  SetWindowPos(page, HWND_TOP, frame.left + std::atoi(argv[1]) - control.left,
               frame.top + std::atoi(argv[2]) - control.top, 0, 0, SWP_NOSIZE);
  SetForegroundWindow(page);
  SetTimer(page, GiveUpTimer, 60000, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(page, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

#include "message_box_spy.h"

#include <algorithm>
#include <cstring>

namespace {

HHOOK hook;
int answer;
std::vector<ShownBox> shownBoxes;
std::vector<HWND> answered;

bool IsMessageBox(HWND window) {
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  return std::strcmp(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF) != nullptr;
}

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && IsMessageBox(window) &&
      std::find(answered.begin(), answered.end(), window) == answered.end()) {
    char text[4096] = {};
    char caption[512] = {};
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
    GetWindowTextA(window, caption, sizeof caption);
    const bool onlyOk =
        GetDlgItem(window, IDOK) && !GetDlgItem(window, IDCANCEL) && !GetDlgItem(window, IDYES);
    shownBoxes.push_back(ShownBox{text, caption, GetWindow(window, GW_OWNER), onlyOk});
    answered.push_back(window);
    // NOTE: posted, not sent: a click sent from inside the hook re-enters it.
    PostMessageA(window, WM_COMMAND, answer, 0);
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

void StartAnsweringBoxes(int button) {
  answer = button;
  shownBoxes.clear();
  answered.clear();
  hook = SetWindowsHookExA(WH_CBT, AnswerBox, nullptr, GetCurrentThreadId());
}

std::vector<ShownBox> StopAnsweringBoxes() {
  if (hook) UnhookWindowsHookEx(hook);
  hook = nullptr;
  return shownBoxes;
}

#include "idle_reset.h"

#include <windows.h>

#include "trace.h"

namespace corners {

namespace {

// NOTE: Wine moves a relative mouse move from the pointer position its server last knew, which
// stays behind where the pointer is while it moves over no Wine window: a move of 0 by 0 then
// jumps the pointer there. Telling the server where the pointer is first keeps it in place.
// Windows keeps the position itself, so nothing is done there.
void SyncPointerUnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  POINT at;
  if (wine && GetCursorPos(&at)) SetCursorPos(at.x, at.y);
}

}  // namespace

bool ResetIdleTime() {
  SyncPointerUnderWine();
  // NOTE: a relative mouse move of 0 by 0 is input to the system (GetLastInputInfo and the idle
  // timers restart) but moves nothing: the pointer stays put and no saver's movement threshold
  // is crossed. SetThreadExecutionState does not do this: its documentation says it "does not
  // stop the screen saver from executing".
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_MOVE;
  bool sent = SendInput(1, &input, sizeof input) == 1;
  Trace(sent ? "idle time reset" : "idle time reset refused (error %lu)", GetLastError());
  return sent;
}

}  // namespace corners

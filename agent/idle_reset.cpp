#include "idle_reset.h"

#include <windows.h>

#include "trace.h"

namespace corners {

bool ResetIdleTime() {
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

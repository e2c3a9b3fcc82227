#include "core/own_messages.h"

#include "morvane.h"

namespace morvane {

namespace {

struct OwnMessageMark {
  HWND window;
  UINT message;
};

// Per thread: each thread's sends to its own windows are delivered on it.
thread_local OwnMessageMark mark;

}  // namespace

LRESULT SendOwnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  mark = {window, message};
  LRESULT result = SendMessageA(window, message, wParam, lParam);
  mark = {};
  return result;
}

bool TakeOwnMessageMark(HWND window, UINT message) {
  if (mark.window == window && mark.message == message) {
    mark = {};
    return true;
  }
  // Only the timer threads send the tick protocol across threads.
  bool tick = message == SCRM_TIMER || message == SCRM_INTERNAL;
  return tick && (InSendMessageEx(nullptr) & ISMEX_SEND) != 0;
}

}  // namespace morvane

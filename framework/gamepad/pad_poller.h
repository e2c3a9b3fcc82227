#pragma once
// Gamepads read through XInput on a small thread of their own, which tells a window when one is
// used (pad_activity.h says when). The full-screen run and the hot-corner agent each own one
// poller; it needs nothing else of the framework, so the agent carries this file too. Start, Stop
// and the destructor belong to the owner's thread; Pause to any thread.
#include <windows.h>

#include "gamepad/pad_activity.h"

namespace morvane {

// XInputGetState of the first XInput library present, in the order Windows' versions bring them:
// xinput1_4.dll (Windows 8 on), xinput1_3.dll (the DirectX runtime), xinput9_1_0.dll (Vista and
// 7). Null (and no library kept) when none is: gamepads then simply do not count.
typedef DWORD(WINAPI* PadStateReader)(DWORD userIndex, void* state);
struct XInputLibrary {
  HMODULE module = nullptr;
  PadStateReader getState = nullptr;
  const char* name = nullptr;  // the file found, for the traces
};
XInputLibrary LoadXInput();
void FreeXInput(XInputLibrary* library);

class PadPoller {
 public:
  PadPoller() = default;
  PadPoller(const PadPoller&) = delete;
  PadPoller& operator=(const PadPoller&) = delete;
  ~PadPoller() { Stop(); }

  // Looks pads up from now on and posts message to window (wParam the pad's user index) each
  // time one is used. False, with nothing started, when no XInput library is present or the thread
  // cannot be had. Starting a running poller restarts it.
  bool Start(HWND window, UINT message);
  // Ends the thread and lets the library go; nothing is posted afterwards.
  void Stop();
  // While paused (the display is off, the session locked) no pad is looked at; on resuming every
  // pad is read afresh, so a stick moved meanwhile is not taken for input.
  void Pause(bool paused);
  bool Running() const { return thread_ != nullptr; }
  const char* LibraryName() const { return library_.name; }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  void Poll();
  uint32_t LookAtPads();

  XInputLibrary library_;
  HWND window_ = nullptr;
  UINT message_ = 0;
  HANDLE thread_ = nullptr;
  HANDLE stop_ = nullptr;  // manual reset: the thread ends
  HANDLE wake_ = nullptr;  // auto reset: the pause changed
  volatile LONG paused_ = 0;
  PadReading last_[4];  // XUSER_MAX_COUNT pads; the poller thread's alone
};

}  // namespace morvane

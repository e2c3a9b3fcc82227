#include "gamepad/pad_poller.h"

#include <cstring>

namespace morvane {

namespace {

enum : DWORD { PadCount = 4 };  // XUSER_MAX_COUNT

// XInput's XINPUT_STATE, as its header lays it out.
struct XInputState {
  DWORD packetNumber;
  WORD buttons;
  BYTE leftTrigger;
  BYTE rightTrigger;
  SHORT thumbLX;
  SHORT thumbLY;
  SHORT thumbRX;
  SHORT thumbRY;
};
static_assert(sizeof(XInputState) == 16, "XINPUT_STATE is 16 bytes");

PadReading ReadPad(PadStateReader getState, DWORD index) {
  XInputState state;
  std::memset(&state, 0, sizeof state);
  PadReading reading;
  if (getState(index, &state) != ERROR_SUCCESS) return reading;
  reading.connected = true;
  reading.buttons = state.buttons;
  reading.leftTrigger = state.leftTrigger;
  reading.rightTrigger = state.rightTrigger;
  reading.thumbLX = state.thumbLX;
  reading.thumbLY = state.thumbLY;
  reading.thumbRX = state.thumbRX;
  reading.thumbRY = state.thumbRY;
  return reading;
}

void CloseAndForget(HANDLE* handle) {
  if (*handle) CloseHandle(*handle);
  *handle = nullptr;
}

}  // namespace

XInputLibrary LoadXInput() {
  static const char* const names[] = {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"};
  XInputLibrary library;
  for (const char* name : names) {
    HMODULE module = LoadLibraryA(name);
    if (!module) continue;
    auto getState = reinterpret_cast<PadStateReader>(
        reinterpret_cast<void*>(GetProcAddress(module, "XInputGetState")));
    if (!getState) {
      FreeLibrary(module);
      continue;
    }
    library.module = module;
    library.getState = getState;
    library.name = name;
    break;
  }
  return library;
}

void FreeXInput(XInputLibrary* library) {
  if (library->module) FreeLibrary(library->module);
  *library = XInputLibrary();
}

bool PadPoller::Start(HWND window, UINT message) {
  Stop();
  library_ = LoadXInput();
  if (!library_.getState) return false;
  window_ = window;
  message_ = message;
  paused_ = 0;
  for (PadReading& reading : last_) reading = PadReading();
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (stop_ && wake_) thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
  if (!thread_) Stop();
  return thread_ != nullptr;
}

void PadPoller::Stop() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
  }
  CloseAndForget(&thread_);
  CloseAndForget(&stop_);
  CloseAndForget(&wake_);
  FreeXInput(&library_);
  window_ = nullptr;
}

void PadPoller::Pause(bool paused) {
  if (InterlockedExchange(&paused_, paused ? 1 : 0) != (paused ? 1 : 0) && wake_) SetEvent(wake_);
}

DWORD WINAPI PadPoller::ThreadMain(void* self) {
  static_cast<PadPoller*>(self)->Poll();
  return 0;
}

void PadPoller::Poll() {
  HANDLE events[2] = {stop_, wake_};
  for (;;) {
    DWORD waitMs = INFINITE;
    if (InterlockedCompareExchange(&paused_, 0, 0)) {
      for (PadReading& reading : last_) reading = PadReading();
    } else {
      waitMs = LookAtPads();
    }
    DWORD woken = WaitForMultipleObjects(2, events, FALSE, waitMs);
    // Stopped, or the wait itself failed: a loop that no longer waits would spin.
    if (woken != WAIT_TIMEOUT && woken != WAIT_OBJECT_0 + 1) return;
  }
}

uint32_t PadPoller::LookAtPads() {
  bool anyConnected = false;
  for (DWORD index = 0; index < PadCount; ++index) {
    PadReading now = ReadPad(library_.getState, index);
    if (IsPadActivity(last_[index], now)) PostMessageA(window_, message_, index, 0);
    last_[index] = now;
    anyConnected = anyConnected || now.connected;
  }
  return NextPadPollMs(anyConnected);
}

}  // namespace morvane

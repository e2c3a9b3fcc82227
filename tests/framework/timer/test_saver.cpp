#include "test_saver.h"

#include <algorithm>
#include <string>

#include "morvane.h"
#include "timer/timer.h"

using namespace morvane;

namespace {

const char* const slotClass = "TimerTestSaverClass";
const char* const bareClass = "TimerTestBareClass";
const char* const swallowingClass = "TimerTestSwallowingClass";

// How a test saver's procedure treats the framework's part of its window.
enum class Kind {
  Routed,      // as DefSaverProc: slot at WM_CREATE, stop and slot removal at WM_DESTROY
  NoSlot,      // never creates a timer slot
  Swallowing,  // handles WM_DESTROY itself and passes nothing of its end on
};

TickScript* ScriptOf(HWND window) {
  return reinterpret_cast<TickScript*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT Tick(HWND window) {
  TickScript* script = ScriptOf(window);
  if (!script) return -1;
  int index = script->count();
  script->startMs.push_back(NowMs());
  BusyFor(script->handlingMs);
  LRESULT answer = script->answer ? script->answer(window, index) : -1;
  script->endMs.push_back(NowMs());
  return answer;
}

LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Kind kind) {
  switch (message) {
    case WM_NCCREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_CREATE:
      if (kind != Kind::NoSlot) CreateTimerSlot(window);
      return 0;
    case WM_DESTROY:
      if (kind == Kind::Swallowing) return 0;
      ScrStopTimer(window);
      RemoveTimerSlot(window);
      return 0;
    case SCRM_INTERNAL: return OnTimerRequest(window, wParam, lParam);
    case SCRM_SETTINGSCHANGED: WakeTimer(window); return 1;
    case SCRM_TIMER: return Tick(window);
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK SlotSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Route(window, message, wParam, lParam, Kind::Routed);
}

LRESULT CALLBACK BareSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Route(window, message, wParam, lParam, Kind::NoSlot);
}

LRESULT CALLBACK SwallowingSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Route(window, message, wParam, lParam, Kind::Swallowing);
}

void RegisterClasses() {
  static bool registered;
  if (registered) return;
  registered = true;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = SlotSaverProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = slotClass;
  RegisterClassA(&windowClass);
  windowClass.lpfnWndProc = BareSaverProc;
  windowClass.lpszClassName = bareClass;
  RegisterClassA(&windowClass);
  windowClass.lpfnWndProc = SwallowingSaverProc;
  windowClass.lpszClassName = swallowingClass;
  RegisterClassA(&windowClass);
}

HWND CreateOfClass(const char* className, TickScript* script) {
  RegisterClasses();
  return CreateWindowExA(0, className, "TimerTestSaver", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), script);
}

// Trace lines as OutputDebugStringA raises them, collected from every thread.
CRITICAL_SECTION traceLock;
std::vector<std::string>* traceLines;

LONG CALLBACK CollectTraceLine(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
  EnterCriticalSection(&traceLock);
  if (traceLines && text) traceLines->push_back(text);
  LeaveCriticalSection(&traceLock);
  return EXCEPTION_CONTINUE_EXECUTION;
}

// done() may turn true without a message to wake the wait (a timer thread frees its record, a
// message is posted while only sent ones wake it): it is looked at least this often.
DWORD PollSliceMs(DWORD remainingMs) {
  return remainingMs < 10 ? remainingMs : 10;
}

}  // namespace

double NowMs() {
  static LARGE_INTEGER frequency;
  if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void BusyFor(double ms) {
  double until = NowMs() + ms;
  while (NowMs() < until) {
  }
}

HWND CreateTestSaver(TickScript* script, bool withSlot) {
  return CreateOfClass(withSlot ? slotClass : bareClass, script);
}

HWND CreateSwallowingSaver(TickScript* script) {
  return CreateOfClass(swallowingClass, script);
}

bool SentMessagePending() {
  return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0;
}

bool HandleSentUntil(const std::function<bool()>& done, DWORD limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= limitMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, PollSliceMs(limitMs - elapsed), QS_SENDMESSAGE);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return true;
}

TraceCapture::TraceCapture() {
  static bool lockReady;
  if (!lockReady) {
    InitializeCriticalSection(&traceLock);
    lockReady = true;
  }
  EnterCriticalSection(&traceLock);
  traceLines = &lines;
  LeaveCriticalSection(&traceLock);
  handler = AddVectoredExceptionHandler(1, CollectTraceLine);
}

TraceCapture::~TraceCapture() {
  RemoveVectoredExceptionHandler(handler);
  EnterCriticalSection(&traceLock);
  traceLines = nullptr;
  LeaveCriticalSection(&traceLock);
}

bool TraceCapture::Has(const std::string& text) {
  EnterCriticalSection(&traceLock);
  bool found = false;
  for (const std::string& line : lines) found = found || line.compare(0, text.size(), text) == 0;
  LeaveCriticalSection(&traceLock);
  return found;
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    DWORD elapsed = GetTickCount() - start;
    if (elapsed >= limitMs) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, PollSliceMs(limitMs - elapsed), QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return true;
}

bool PumpUntilEnded(HANDLE thread, DWORD limitMs) {
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    DWORD remaining = elapsed < limitMs ? limitMs - elapsed : 0;
    DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, remaining, QS_ALLINPUT);
    if (result == WAIT_OBJECT_0) return true;
    if (result != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
}

std::vector<double> TickIntervals(const TickScript& script) {
  std::vector<double> intervals;
  for (size_t i = 1; i < script.startMs.size(); ++i) {
    intervals.push_back(script.startMs[i] - script.startMs[i - 1]);
  }
  return intervals;
}

double Quantile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(index, values.size() - 1)];
}

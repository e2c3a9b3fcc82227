// A saver whose window procedure answers WM_CREATE itself and never passes it to DefSaverProc. The
// framework must set its window up all the same: without that it got no ticks, and the mouse move
// the system sends when the full-screen window appears closed it a moment later.
//
// Run with "/s". Exit code 0 when ScrMain returned 2 after the window ticked enough to have met
// that mouse move, never closed by itself, and was closed by this saver; else the code of the first
// condition that failed (see Failure). One line on stderr says what it found.
#include "morvane.h"

#include <cstdio>
#include <cstring>

namespace {

// Distinct from ScrMain's 2 and from the small codes a crashed Wine process reports.
enum Failure {
  Passed = 0,
  WrongResult = 20,     // ScrMain did not return what a full-screen run ends with
  NotCreated = 21,      // WM_CREATE never came
  TooFewTicks = 22,     // the window ended before it had ticked enough, or never ticked
  ClosedByItself = 23,  // a close came before this saver asked for one
  NotSetUpAfter = 24,   // the framework did not say that it set the window up after creation
};

// Half a second at 20 ms a tick: the closing came 0.2 to 0.4 s after the window appeared.
enum { TicksWanted = 25, TickPeriod = 20 };

struct Record {
  int creates;
  int ticks;
  bool closePosted;
  int strayCloses;
  int setUpTraces;
  int thresholdTraces;
};

Record record;

// The framework's trace lines arrive as the exception OutputDebugStringA raises.
LONG CALLBACK CountTraceLine(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* exception = pointers->ExceptionRecord;
  if (exception->ExceptionCode != DBG_PRINTEXCEPTION_C || exception->NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const char* line = reinterpret_cast<const char*>(exception->ExceptionInformation[1]);
  if (line && std::strstr(line, "WM_CREATE did not reach DefSaverProc")) ++record.setUpTraces;
  if (line && std::strstr(line, "gone beyond threshold")) ++record.thresholdTraces;
  return EXCEPTION_CONTINUE_EXECUTION;
}

LRESULT CALLBACK SaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: ++record.creates; return 0;
    case SCRM_TIMER:
      if (++record.ticks == TicksWanted) {
        record.closePosted = PostMessageA(window, WM_CLOSE, 0, 0) != FALSE;
      }
      return TickPeriod;
    case WM_CLOSE:
      if (!record.closePosted) ++record.strayCloses;
      break;
    default: break;
  }
  return DefSaverProc(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  ScrPrefs* prefs = ScrGetPrefs();
  if (prefs) {
    // The password settings in the shared registry belong to other tests; closing must not wait
    // for a password prompt here.
    prefs->neverPassword = 1;
    prefs->debugTrace = 1;
    ScrSetPrefs(prefs);
  }
  AddVectoredExceptionHandler(1, CountTraceLine);
  // Away from (0, 0), where a window that never took the cursor's origin would measure from.
  SetCursorPos(200, 150);
  int result = ScrMain(instance, SaverProc, nullptr, nullptr, 0);

  Failure failure = Passed;
  if (result != 2) {
    failure = WrongResult;
  } else if (record.creates != 1) {
    failure = NotCreated;
  } else if (record.ticks < TicksWanted) {
    failure = TooFewTicks;
  } else if (record.strayCloses != 0 || record.thresholdTraces != 0) {
    failure = ClosedByItself;
  } else if (record.setUpTraces != 1) {
    failure = NotSetUpAfter;
  }
  std::fprintf(stderr,
               "saver_answers_create: ScrMain=%d creates=%d ticks=%d strayCloses=%d "
               "thresholdTraces=%d setUpTraces=%d -> %d\n",
               result, record.creates, record.ticks, record.strayCloses, record.thresholdTraces,
               record.setUpTraces, static_cast<int>(failure));
  std::fflush(stderr);
  return failure;
}

// Timers of saver windows: ScrStartTimer, ScrStopTimer, the thread that ticks a window, and the
// window's side of the timer protocol.
//
// Who touches a TimerRecord: the window's thread fills it before the thread runs, and afterwards
// reads its fixed fields and writes running (under the lock) only while the record sits in the
// window's slot. It empties the slot before it posts the quit request, and the thread frees the
// record only after taking that request, so no one uses a freed record.
#include <cstdio>
#include <new>

#include <windows.h>
#include <mmsystem.h>

#include "core/library.h"
#include "settings/prefs.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"
#include "timer/timer_pacing.h"
#include "core/trace.h"

namespace morvane {

volatile LONG liveTimerRecords;

namespace {

// The stack the thread asks for: the loop allocates nothing; traces and the debug box grow it.
const SIZE_T timerStackSize = 4096;

TimerRecord* AllocatePlatformRecord() {
  return new (std::nothrow) TimerRecord{};
}

HANDLE CreatePlatformWakeEvent() {
  return CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

HANDLE StartPlatformThread(TimerRecord* record, DWORD* threadId) {
  return CreateThread(nullptr, timerStackSize, TimerThreadProc, record, CREATE_SUSPENDED, threadId);
}

}  // namespace

const TimerStartSteps platformTimerStartSteps = {AllocatePlatformRecord, CreatePlatformWakeEvent,
                                                 AllocateThreadNode, StartPlatformThread};
TimerStartSteps timerStartSteps = platformTimerStartSteps;

namespace {

// ---- The record ----

// A record with its lock and wake event, running, for window; null (traced, nothing kept) when
// either cannot be had.
TimerRecord* PrepareRecord(HWND window) {
  TimerRecord* record = timerStartSteps.allocateRecord();
  if (!record) {
    Trace("ScrStartTimer: no memory for the timer record: no timer");
    return nullptr;
  }
  InterlockedIncrement(&liveTimerRecords);
  InitializeCriticalSection(&record->lock);
  record->wakeEvent = timerStartSteps.createWakeEvent();
  if (!record->wakeEvent) {
    Trace("ScrStartTimer: the wake event could not be created: no timer");
    DeleteCriticalSection(&record->lock);
    delete record;
    InterlockedDecrement(&liveTimerRecords);
    return nullptr;
  }
  record->window = window;
  record->running = 1;
  return record;
}

void FreeRecord(TimerRecord* record) {
  CloseHandle(record->wakeEvent);
  DeleteCriticalSection(&record->lock);
  delete record;
  InterlockedDecrement(&liveTimerRecords);
}

bool IsRunning(TimerRecord* record) {
  EnterCriticalSection(&record->lock);
  bool running = record->running != 0;
  LeaveCriticalSection(&record->lock);
  return running;
}

// ---- Starting ----

void LowerPriority(HANDLE thread) {
  int priority = GetThreadPriority(GetCurrentThread());
  if (priority != THREAD_PRIORITY_ERROR_RETURN) SetThreadPriority(thread, PriorityBelow(priority));
}

// Lets the thread run and returns once it has a message queue, so that a quit request posted
// from now on has somewhere to go. The thread signals the wake event for it, and nothing else can
// set that event before this returns: it is reset here, before the first tick can be handled.
void RunUntilQueueExists(TimerRecord* record) {
  ResumeThread(record->threadHandle);
  HANDLE ready[] = {record->wakeEvent, record->threadHandle};
  WaitForMultipleObjects(2, ready, FALSE, INFINITE);
  ResetEvent(record->wakeEvent);
}

// ---- Stopping ----

// Detaches the record from the window and asks its thread to end. The record may be gone as soon
// as the quit request is posted.
void EndTimer(HWND window, TimerRecord* record) {
  StoreTimerRecord(window, nullptr);
  EnterCriticalSection(&record->lock);
  record->running = 0;
  LeaveCriticalSection(&record->lock);
  if (!PostThreadMessageA(record->threadId, WM_QUIT, 0, 0)) {
    Trace("ScrStopTimer: the quit request could not be posted to the timer thread");
  }
}

bool HasHadEnough(TimerRecord* record) {
  EnterCriticalSection(&record->lock);
  bool hadEnough = record->hadEnough != 0;
  LeaveCriticalSection(&record->lock);
  return hadEnough;
}

void EndTimerThatHadEnough(HWND window) {
  Trace("SCRINTERNAL_HADENOUGH: closing down thread...");
  TimerRecord* record = LookUpTimerRecord(window);
  if (!record) {
    const char* text = "SCRINTERNAL_HADENOUGH: strangely, the timer has disappeared!";
    Trace(text);
    DebugMessageBox(window, text, "SCRTIMER error");
    return;
  }
  // A request from a timer that was stopped, with a new one started on the window since: the new
  // timer has asked for nothing, so it stays.
  if (!HasHadEnough(record)) {
    Trace("SCRINTERNAL_HADENOUGH: from a timer stopped earlier; the current one goes on");
    return;
  }
  EndTimer(window, record);
}

// ---- The thread ----

// Takes one message from the thread's queue, blocking when asked to; false when there was none.
bool TakeThreadMessage(MSG* message, bool block) {
  if (block) {
    // -1 (a failure, which a thread's own queue does not have) counts as no message: the thread
    // must not end before its quit request, since the window may still use the record.
    return GetMessageA(message, nullptr, 0, 0) != -1;
  }
  return PeekMessageA(message, nullptr, 0, 0, PM_REMOVE) != 0;
}

void ReportStrayMessage(const MSG& message) {
  char text[128];
  std::snprintf(text, sizeof text, "Thread message: msg=%x wParam=%llx lParam=%llx",
                message.message, static_cast<unsigned long long>(message.wParam),
                static_cast<unsigned long long>(message.lParam));
  Trace(text);
  DebugMessageBox(nullptr, text, "Thread message");
}

void AskToEnd(TimerRecord* record) {
  Trace("Thread: infinite delay specified, so posting a 'had enough'");
  EnterCriticalSection(&record->lock);
  record->hadEnough = 1;
  LeaveCriticalSection(&record->lock);
  PostMessageA(record->window, SCRM_INTERNAL, SCRINTERNAL_HADENOUGH, 0);
}

// True when the wait ran its full time; false when the wake event cut it short.
bool WaitForNextTick(TimerRecord* record, DWORD waitMs) {
  if (WaitForSingleObject(record->wakeEvent, waitMs) != WAIT_OBJECT_0) return true;
  ResetEvent(record->wakeEvent);
  return false;
}

// When the next tick is due, and whether the thread waited for that moment in full.
struct TickSchedule {
  bool waitedFor;
  DWORD due;
};

// Sends one tick and paces the next as the saver's answer asks; false when it wants no more.
bool TickOnce(TimerRecord* record, TickSchedule* schedule) {
  DWORD t0 = TickStart(schedule->waitedFor, schedule->due, timeGetTime());
  LRESULT answer = SendMessageA(record->window, SCRM_INTERNAL, SCRINTERNAL_TICK, 0);
  DWORD t1 = timeGetTime();
  NextTick next = PaceNextTick(static_cast<uint32_t>(answer), t0, t1);
  schedule->waitedFor = false;
  switch (next.pace) {
    case TickPace::AtOnce: return true;
    case TickPace::End: AskToEnd(record); return false;
    case TickPace::Yield: Sleep(0); return true;
    case TickPace::Wait:
      schedule->due = t1 + next.waitMs;
      schedule->waitedFor = WaitForNextTick(record, next.waitMs);
      return true;
  }
  return true;
}

}  // namespace

DWORD WINAPI TimerThreadProc(void* parameter) {
  TimerRecord* record = static_cast<TimerRecord*>(parameter);
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue
  SetEvent(record->wakeEvent);                         // ScrStartTimer may return now
  bool done = false;
  // After the saver's -1, or once a stop is seen: the quit request is on its way, and the thread
  // sleeps in its queue until it comes.
  bool waitingForQuit = false;
  TickSchedule schedule = {false, 0};
  while (!done) {
    if (TakeThreadMessage(&message, waitingForQuit)) {
      if (message.message == WM_QUIT) {
        done = true;
        continue;
      }
      ReportStrayMessage(message);
    }
    if (waitingForQuit) continue;
    if (!IsRunning(record)) {
      waitingForQuit = true;
      continue;
    }
    waitingForQuit = !TickOnce(record, &schedule);
  }
  Trace("Thread coming to an end. Deleting threaddata");
  FreeRecord(record);
  return 0;
}

}  // namespace morvane

// The public operations: C linkage in the global namespace, built on the internals.
using namespace morvane;

void WINAPI ScrStartTimer(HWND window) {
  EnsureLibrary();
  if (currentPrefs.noTimers) {
    Trace(
        "ScrStartTimer: Timers have been turned off in the prefs: they are not being initialized");
    return;
  }
  Trace("ScrStartTimer: creating a timer...");
  if (!HasTimerSlot(window)) {
    // Nothing could stop a timer that the window cannot hold.
    Trace(
        "ScrStartTimer: the window has no timer slot (its procedure does not end in "
        "DefSaverProc): no timer");
    return;
  }
  if (LookUpTimerRecord(window)) {
    Trace("ScrStartTimer: cannot restart, because one was already there!");
    return;
  }
  TimerRecord* record = PrepareRecord(window);
  if (!record) return;
  Trace("ScrStartTimer: am able to work with timers!");
  ThreadListNode* node = timerStartSteps.allocateNode();
  if (!node) {
    Trace("ScrStartTimer: no memory to register the timer thread: no timer");
    FreeRecord(record);
    return;
  }
  record->threadHandle = timerStartSteps.startThread(record, &record->threadId);
  if (!record->threadHandle) {
    Trace("ScrStartTimer: the timer thread could not be started: no timer");
    FreeThreadNode(node);
    FreeRecord(record);
    return;
  }
  EnterThreadNode(node, record->threadHandle);
  StoreTimerRecord(window, record);
  LowerPriority(record->threadHandle);
  RunUntilQueueExists(record);
}

void WINAPI ScrStopTimer(HWND window) {
  if (!window) {
    Trace("ScrStopTimer: hwnd is null!");
    return;
  }
  EnsureLibrary();
  if (currentPrefs.noTimers) {
    Trace("ScrStopTimer: Timers have been turned off: you can not destroy them.");
    return;
  }
  TimerRecord* record = LookUpTimerRecord(window);
  if (!record) {
    Trace("ScrStopTimer: the timer had already been destroyed. This isn't necessarily bad.");
    return;
  }
  Trace("ScrStopTimer: destroying timer...");
  EndTimer(window, record);
}

namespace morvane {

LRESULT OnTimerRequest(HWND window, WPARAM request, LPARAM lParam) {
  switch (request) {
    case SCRINTERNAL_TICK:
      if (!currentPrefs.noTimers && LookUpTimerRecord(window)) {
        return SendMessageA(window, SCRM_TIMER, request, lParam);
      }
      break;
    case SCRINTERNAL_HADENOUGH:
      if (!currentPrefs.noTimers) EndTimerThatHadEnough(window);
      break;
    case SCRINTERNAL_STARTTIMER: ScrStartTimer(window); break;
    default: break;
  }
  return DefWindowProcA(window, SCRM_INTERNAL, request, lParam);
}

void WakeTimer(HWND window) {
  if (TimerRecord* record = LookUpTimerRecord(window)) SetEvent(record->wakeEvent);
}

}  // namespace morvane

// Timers of saver windows: ScrStartTimer, ScrStopTimer, the thread that ticks a window, and the
// window's side of the timer protocol.
//
// Who touches a TimerRecord: the window's thread fills it before the thread runs, and afterwards
// reads its fixed fields and writes running (under the lock) only while the record sits in the
// slot of a live window, handling a message of that window. It empties the slot before it posts
// the quit request, and the thread frees the record only after taking that request or once the
// window is gone (when no one can reach the slot any more), so no one uses a freed record.
#include <cstdio>
#include <new>

#include <windows.h>

#include "core/library.h"
#include "settings/prefs.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"
#include "timer/timer_pacing.h"
#include "timer/display_refresh.h"
#include "timer/frame_figures.h"
#include "timer/tick_gates.h"
#include "core/trace.h"

namespace morvane {

volatile LONG liveTimerRecords;

namespace {

// How often a thread waiting for its quit request looks whether its window is still there.
const DWORD windowCheckMs = 100;
// The same while its ticks are paused: rarely, since a paused run should cost nothing.
const DWORD pausedWindowCheckMs = 5000;

// How long ScrStartTimer waits for a new thread to be ready. A thread needs a few milliseconds;
// the limit only keeps a thread the system never schedules from holding the saver's thread, so
// it is generous enough for a machine under heavy load.
const DWORD readyLimitMs = 5000;

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
                                                 AllocateThreadNode, StartPlatformThread,
                                                 readyLimitMs};
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
  record->gate = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (!record->gate) {
    Trace("ScrStartTimer: the pause event could not be created: no timer");
    CloseHandle(record->wakeEvent);
    DeleteCriticalSection(&record->lock);
    delete record;
    InterlockedDecrement(&liveTimerRecords);
    return nullptr;
  }
  record->window = window;
  record->fullScreen = GetParent(window) == nullptr;
  record->running = 1;
  record->startState = TimerStartPending;
  EnterLiveRecord(record);
  return record;
}

void FreeRecord(TimerRecord* record) {
  ReleaseTimerResolution(record);
  LeaveLiveRecord(record);
  CloseDisplayClock(record->display);
  CloseHandle(record->gate);
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

void LowerPriority(TimerRecord* record) {
  int priority = GetThreadPriority(GetCurrentThread());
  if (priority == THREAD_PRIORITY_ERROR_RETURN) priority = THREAD_PRIORITY_NORMAL;
  record->basePriority = PriorityBelow(priority);
  SetThreadPriority(record->threadHandle, record->basePriority);
}

// What became of a thread that did not signal that it was ready.
enum class Unready {
  ReadyAfterAll,  // it claimed the record just after the wait gave up
  Ended,          // it is gone without having claimed the record, which is the starter's again
  Abandoned       // it lives and has not claimed the record: it frees it itself if it ever runs
};

Unready SettleUnreadyThread(TimerRecord* record) {
  // A thread ends only after claiming its record or finding itself given up, so one that has
  // ended here never had the record.
  if (WaitForSingleObject(record->threadHandle, 0) == WAIT_OBJECT_0) return Unready::Ended;
  LONG state =
      InterlockedCompareExchange(&record->startState, TimerStartAbandoned, TimerStartPending);
  if (state != TimerStartClaimed) return Unready::Abandoned;
  // Its signal follows the claim at once.
  if (WaitForSingleObject(record->wakeEvent, timerStartSteps.readyLimitMs) == WAIT_OBJECT_0) {
    ResetEvent(record->wakeEvent);
  }
  return Unready::ReadyAfterAll;
}

// Lets the thread run and waits, within the ready limit, until it has a message queue, so that a
// quit request posted from then on has somewhere to go. The thread signals the wake event for it,
// and nothing else can set that event before this returns: it is reset here, before the first
// tick can be handled. On failure (traced) the record, the node and the handle are released or
// left to the thread, as it can still use them or not; the window gets no timer.
bool LaunchTimerThread(TimerRecord* record, ThreadListNode* node) {
  HANDLE thread = record->threadHandle;
  // NOTE: a thread that cannot be resumed is given up, never ended with TerminateThread: Wine
  // crashes on TerminateThread of a suspended thread that never ran, and a thread given up frees
  // its record itself should it ever run.
  bool resumed = ResumeThread(thread) != static_cast<DWORD>(-1);
  if (resumed) {
    HANDLE ready[] = {record->wakeEvent, thread};
    DWORD result = WaitForMultipleObjects(2, ready, FALSE, timerStartSteps.readyLimitMs);
    if (result == WAIT_OBJECT_0) {
      ResetEvent(record->wakeEvent);
      return true;
    }
  }
  Unready outcome = SettleUnreadyThread(record);
  if (outcome == Unready::ReadyAfterAll) return true;
  if (!resumed) {
    Trace("ScrStartTimer: the timer thread could not be resumed: no timer");
  } else if (outcome == Unready::Ended) {
    Trace("ScrStartTimer: the timer thread ended before it was ready: no timer");
  } else {
    Trace("ScrStartTimer: the timer thread was not ready in time: no timer");
  }
  if (outcome == Unready::Ended) {
    CloseHandle(thread);
    FreeThreadNode(node);
    FreeRecord(record);
  } else if (resumed) {
    // It will run and end at once; the run waits for it like any other.
    EnterThreadNode(node, thread);
  } else {
    // Suspended for good: nothing would end it for the run to wait on. Its record stays with it,
    // the one thing left behind.
    CloseHandle(thread);
    FreeThreadNode(node);
  }
  return false;
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

// Takes one message from the thread's queue, when there is none waiting up to waitMs for one;
// false when none came.
bool TakeThreadMessage(MSG* message, DWORD waitMs) {
  if (PeekMessageA(message, nullptr, 0, 0, PM_REMOVE)) return true;
  if (waitMs == 0) return false;
  MsgWaitForMultipleObjectsEx(0, nullptr, waitMs, QS_ALLPOSTMESSAGE, MWMO_INPUTAVAILABLE);
  return PeekMessageA(message, nullptr, 0, 0, PM_REMOVE) != 0;
}

// Whether the thread's window has gone. Then nothing can reach the record through the window any
// more, and no quit request may ever come: the saver's procedure may have kept WM_DESTROY from
// DefSaverProc, or the end request went with the window.
bool WindowIsGone(TimerRecord* record) {
  return !IsWindow(record->window);
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

enum class AfterTick {
  Again,         // tick on
  AwaitQuit,     // the saver wants no more: wait for the quit request
  WindowIsGone,  // end now
};

void NoteTargetInterval(TimerRecord* record, uint64_t intervalUs) {
  InterlockedExchange(&record->targetIntervalUs,
                      static_cast<LONG>(intervalUs > 0x7fffffff ? 0x7fffffff : intervalUs));
}

// SCR_TICK_DISPLAY: the next tick at the next refresh of the window's monitor. The refresh grid is
// kept in microseconds and the wait rounded to the nearest millisecond, so each wait ends within
// about a millisecond of its refresh while the ticks keep the display's rate exactly. False when
// the battery's minimum period is the longer one: the caller waits that instead.
bool WaitForRefresh(TimerRecord* record, uint32_t floorMs) {
  DisplayClock& clock = record->display;
  uint64_t now = MicrosecondsNow();
  FollowWindowMonitor(clock, record->window, now);
  if (floorMs * 1000.0 > clock.pace.PeriodUs()) return false;
  NoteTargetInterval(record, static_cast<uint64_t>(clock.pace.PeriodUs() + 0.5));
  AlignToVerticalBlank(clock, now);
  now = MicrosecondsNow();
  uint64_t due = clock.pace.NextDeadline(now);
  // A deadline already past (the refresh an alignment waited for) is ticked at once.
  DWORD waitMs = due > now ? static_cast<DWORD>((due - now + 500) / 1000) : 0;
  if (waitMs == 0) {
    Sleep(0);
  } else {
    WaitForNextTick(record, waitMs);
  }
  return true;
}

// Sends one tick and paces the next as the saver's answer asks.
AfterTick TickOnce(TimerRecord* record, TickSchedule* schedule) {
  DWORD t0 = TickStart(schedule->waitedFor, schedule->due, MillisecondsNow());
  LRESULT answer = SendMessageA(record->window, SCRM_INTERNAL, SCRINTERNAL_TICK, 0);
  // A window that is gone answers 0 at once, which would tick again at once for ever.
  if (WindowIsGone(record)) return AfterTick::WindowIsGone;
  // After the first frame, before the first wait.
  ApplyTimerResolution(record);
  DWORD t1 = MillisecondsNow();
  uint32_t floor = record->fullScreen ? static_cast<uint32_t>(tickFloorMs) : 0;
  schedule->waitedFor = false;
  if (static_cast<int32_t>(answer) == SCR_TICK_DISPLAY) {
    if (WaitForRefresh(record, floor)) return AfterTick::Again;
    answer = static_cast<LRESULT>(floor);
  }
  uint32_t asked = AtLeastPeriod(static_cast<uint32_t>(answer), floor);
  NoteTargetInterval(record, asked < 0x80000000u ? uint64_t{asked} * 1000 : 0);
  NextTick next = PaceNextTick(asked, t0, t1);
  switch (next.pace) {
    case TickPace::AtOnce: return AfterTick::Again;
    case TickPace::End: AskToEnd(record); return AfterTick::AwaitQuit;
    case TickPace::Yield: Sleep(0); return AfterTick::Again;
    case TickPace::Wait:
      schedule->due = t1 + next.waitMs;
      schedule->waitedFor = WaitForNextTick(record, next.waitMs);
      return AfterTick::Again;
  }
  return AfterTick::Again;
}

// Ticks are sent, and this thread handles sent messages before anything else it has waiting:
// ticks back to back (windows on several monitors, frames longer than their period) would keep a
// key, a click or a close request from ever being handled. A tick that finds input or a posted
// message waiting gives way to it and comes again shortly, a bounded number of times in a row: a
// thread in a wait that handles only sent messages (the run's end) would never take them. Only
// full-screen windows do, whose input ends the run: a hundred previews giving way every 2 ms would
// flood the thread with their ticks. The first tick never does: a new window always finds messages
// of its creation and activation waiting, and giving way to them delayed the first frame by a
// round trip to the timer thread while there were no ticks yet to starve anything.
const LRESULT inputFirstDelayMs = 2;
const int mostTicksGivenWay = 25;

bool InputOrPostWaiting() {
  // The wait handles the messages sent meanwhile, other windows' ticks among them: those do not
  // look again.
  static thread_local bool looking;
  if (looking) return false;
  looking = true;
  // NOTE: a wait, even of no time, and not a look at the queue: Wine turns the display's input
  // events into messages only when the thread waits, which back-to-back ticks never let it do.
  bool waiting = MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_INPUT | QS_POSTMESSAGE,
                                             MWMO_INPUTAVAILABLE) == WAIT_OBJECT_0;
  looking = false;
  return waiting;
}

bool GateIsOpen(TimerRecord* record) {
  return WaitForSingleObject(record->gate, 0) == WAIT_OBJECT_0;
}

// Blocks while the gate stays closed, until it opens or a message (the quit request) comes; now
// and then it wakes to see whether its window is still there.
void AwaitOpenGate(TimerRecord* record) {
  MsgWaitForMultipleObjectsEx(1, &record->gate, pausedWindowCheckMs, QS_ALLPOSTMESSAGE,
                              MWMO_INPUTAVAILABLE);
}

// On battery a full-screen window's timer runs one level lower than on mains.
void MatchPriority(TimerRecord* record) {
  bool lower = lowerTimerPriority != 0 && record->fullScreen;
  if (lower == record->lowered) return;
  SetThreadPriority(GetCurrentThread(),
                    lower ? PriorityBelow(record->basePriority) : record->basePriority);
  record->lowered = lower;
}

}  // namespace

DWORD WINAPI TimerThreadProc(void* parameter) {
  TimerRecord* record = static_cast<TimerRecord*>(parameter);
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue
  if (InterlockedCompareExchange(&record->startState, TimerStartClaimed, TimerStartPending) ==
      TimerStartAbandoned) {
    Trace("Thread: ScrStartTimer gave up waiting for it, so ending at once");
    FreeRecord(record);
    return 0;
  }
  SetEvent(record->wakeEvent);  // ScrStartTimer may return now
  bool done = false;
  bool windowGone = false;
  // After the saver's -1, or once a stop is seen: the quit request is on its way, and the thread
  // sleeps in its queue until it comes, or until its window is found gone.
  bool waitingForQuit = false;
  bool paused = false;
  TickSchedule schedule = {false, 0};
  while (!done) {
    if (TakeThreadMessage(&message, waitingForQuit ? windowCheckMs : 0)) {
      if (message.message == WM_QUIT) {
        done = true;
        continue;
      }
      ReportStrayMessage(message);
    }
    if (waitingForQuit) {
      ReleaseTimerResolution(record);
      done = windowGone = WindowIsGone(record);
      continue;
    }
    if (!IsRunning(record)) {
      waitingForQuit = true;
      continue;
    }
    if (!GateIsOpen(record)) {
      if (!paused) Trace("Thread: ticks paused");
      paused = true;
      ReleaseTimerResolution(record);
      done = windowGone = WindowIsGone(record);
      if (!done) AwaitOpenGate(record);
      continue;
    }
    if (paused) {
      Trace("Thread: ticks resumed");
      schedule.waitedFor = false;
      ResumeDisplayClock(record->display);
    }
    paused = false;
    MatchPriority(record);
    switch (TickOnce(record, &schedule)) {
      case AfterTick::Again: break;
      case AfterTick::AwaitQuit: waitingForQuit = true; break;
      case AfterTick::WindowIsGone: done = windowGone = true; break;
    }
  }
  if (windowGone) Trace("Thread: its window is gone, so it ends");
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
  LowerPriority(record);
  // A window that starts its timer while the ticks are paused starts paused.
  ApplyTickGates();
  if (!LaunchTimerThread(record, node)) return;
  EnterThreadNode(node, record->threadHandle);
  StoreTimerRecord(window, record);
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
      if (TimerRecord* record = currentPrefs.noTimers ? nullptr : LookUpTimerRecord(window)) {
        if (!record->fullScreen && PreviewIsHidden(window)) {
          return PauseHiddenPreview(window, record);
        }
        if (record->fullScreen && record->ticked && record->ticksGivenWay < mostTicksGivenWay &&
            InputOrPostWaiting()) {
          ++record->ticksGivenWay;
          return inputFirstDelayMs;
        }
        record->ticksGivenWay = 0;
        record->ticked = true;
        return SendTimedTick(window, request, lParam);
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

void OnNcDestroy(HWND window) {
  if (!HasTimerSlot(window)) return;
  Trace("WM_NCDESTROY: WM_DESTROY did not reach DefSaverProc, so the timer is stopped now");
  ScrStopTimer(window);
  RemoveTimerSlot(window);
}

}  // namespace morvane

#pragma once
// Timer threads of saver windows, and the registry of timer threads that a run waits for.
//
// A saver window may own one timer: a worker thread that sends the window SCRINTERNAL_TICK, which
// the window turns into SCRM_TIMER; the answer is the delay to the next tick. The window reaches
// its timer through a slot in the window property PROP_MORVANETIMERDATA, which DefSaverProc
// creates at WM_CREATE and removes at WM_DESTROY. Everything here except TimerThreadProc runs on
// the thread that owns the saver windows (the one that runs the saver). ScrStartTimer returns once
// the new thread has its message queue, so a ScrStopTimer straight after it reaches the thread;
// a thread not ready within its limit gives no timer. A timer whose window is gone without
// stopping it (the saver's procedure kept its end from DefSaverProc) ends by itself.
//
// DefSaverProc's part:
//   WM_CREATE             CreateTimerSlot(window); unless noTimers, post SCRM_INTERNAL with
//                         SCRINTERNAL_STARTTIMER to the window.
//   SCRM_INTERNAL         return OnTimerRequest(window, wParam, lParam);
//   SCRM_SETTINGSCHANGED  (accepted by a full-screen window) WakeTimer(window).
//   WM_DESTROY            ScrStopTimer(window); RemoveTimerSlot(window).
//   WM_NCDESTROY          OnNcDestroy(window): the same, when WM_DESTROY did not reach it.
// RunSaver's part:
//   before the mode       OpenThreadRegistry(); unless noTimers, RaiseTimerResolution().
//   after the mode        AwaitTimerThreads(TimerThreadWaitLimit); CloseThreadRegistry();
//                         RestoreTimerResolution().
#include <windows.h>

#include "morvane.h"
#include "timer/display_refresh.h"
#include "timer/frame_stats.h"

namespace morvane {

// The window property that holds a window's timer slot.
#define PROP_MORVANETIMERDATA "MorvaneTimerData"

// How long a run waits, in all, for the timer threads it started.
enum { TimerThreadWaitLimit = 10000 };

// Who has a record while its thread starts: ScrStartTimer until the thread claims it; a thread
// that finds itself given up (ScrStartTimer stopped waiting for it) frees the record and ends.
enum : LONG { TimerStartPending, TimerStartClaimed, TimerStartAbandoned };

// One running timer. Allocated by ScrStartTimer, owned by its thread from then on and freed by
// that thread when it has taken its quit message, found its window gone, or found itself given up
// at its start. Only running and hadEnough change while the thread lives, both under lock;
// startState changes once, by an interlocked exchange, before the thread is ready.
struct TimerRecord {
  HWND window;  // receives the ticks
  CRITICAL_SECTION lock;
  LONG running;       // 1 from the start; 0 once a stop has been asked for
  HANDLE wakeEvent;   // manual reset; setting it cuts the current wait short
  HANDLE gate;        // manual reset; set while the window may tick (see ApplyTickGates)
  bool fullScreen;    // the window was a full-screen saver window when the timer started
  LONG hidden;        // a preview found hidden: no ticks until it shows again
  int basePriority;   // the thread's priority on mains power
  bool lowered;       // the thread runs one level lower (on battery)
  int ticksGivenWay;  // ticks in a row that gave way to waiting input (the window's thread only)
  bool ticked;        // the window has had a tick (the window's thread only)
  TimerRecord* nextLive;  // the live records, under the live-record lock
  DWORD threadId;         // target of the quit request
  HANDLE threadHandle;    // owned by the thread registry, which closes it
  LONG hadEnough;  // 1 once the saver answered -1 and the thread posted SCRINTERNAL_HADENOUGH
  volatile LONG startState;  // TimerStartPending, then Claimed by the thread or Abandoned
  // The interval the last answer asked for, in microseconds (the refresh period for
  // SCR_TICK_DISPLAY), written by the thread and read for the frame figures; 0 before.
  volatile LONG targetIntervalUs;
  DisplayClock display;  // the thread's own, for SCR_TICK_DISPLAY
  bool holdsResolution;  // the thread counts among those the 1 ms resolution is raised for
};

// The timer thread's routine; exit code 0.
DWORD WINAPI TimerThreadProc(void* record);

// What a saver window's timer slot holds: its timer, if any, and its frame figures, kept from its
// set-up to its end.
struct TimerSlot {
  TimerRecord* record;
  FrameStats frames;
};

// The timer slot. Create always attaches a new empty slot (a window has at most one: creating
// again keeps the existing one). Store does nothing without a slot; LookUp returns null without a
// slot or with an empty one; Remove frees the slot and removes the property.
void CreateTimerSlot(HWND window);
bool HasTimerSlot(HWND window);
void StoreTimerRecord(HWND window, TimerRecord* record);
TimerRecord* LookUpTimerRecord(HWND window);
void RemoveTimerSlot(HWND window);
// The window's frame figures; null without a slot.
FrameStats* FrameStatsOf(HWND window);

// Whether a window's ticks may go on: not while the display is off or the session locked, nor
// for a preview found hidden. Sets or resets every live timer's gate after the power state and
// the previews' visibility; the timer threads block on a closed gate, and tick at once when it
// opens. Saver thread.
void ApplyTickGates();
// The minimum period of full-screen ticks now (0 for none) and whether timer threads run one
// priority level lower; both read by the timer threads.
extern volatile LONG tickFloorMs;
extern volatile LONG lowerTimerPriority;

// SCRM_INTERNAL of a saver window: the tick (the saver's answer to SCRM_TIMER), the end of a
// timer whose saver answered -1, and the start request. What it does not handle goes to
// DefWindowProcA; the result is the message's result.
LRESULT OnTimerRequest(HWND window, WPARAM request, LPARAM lParam);

// Sets the window's wake event when it has a timer, so its next tick comes at once.
void WakeTimer(HWND window);

// WM_NCDESTROY of a saver window: when WM_DESTROY did not reach DefSaverProc (the window still has
// its slot), stops the timer and removes the slot as WM_DESTROY would have.
void OnNcDestroy(HWND window);

// The registry of timer threads (threadList under threadListLock). Open at the start of a run:
// initialises the lock the first time and closes what an earlier start outside a run left.
void OpenThreadRegistry();
// Enters a started timer thread; the registry owns the handle from now on. False when no entry
// could be allocated (the handle stays the caller's).
bool RegisterTimerThread(HANDLE thread);
// The number of threads entered since the registry was opened.
int CountTimerThreads();
// Waits until every registered thread has ended or limitMs have passed, all within the one limit,
// meanwhile handling the messages other threads send to this one (posted ones stay queued): a
// timer thread blocked in sending a tick to a window of this thread ends only once it is answered.
// On time-out traces "Not all threads have terminated!" and shows the "ThreadTimer error" debug
// box. True when all have ended.
bool AwaitTimerThreads(DWORD limitMs);
// Empties the registry and closes the thread handles (the threads run on if still running).
void CloseThreadRegistry();

// The system timer resolution at 1 ms while a run that uses timers has full-screen ticks due, so
// that the waits of the timer threads have 1 ms steps; a high resolution keeps the processor from
// its power-saving states (system-wide before Windows 10 2004), so it is held only while something
// is drawn. Raise only allows it: a full-screen timer thread that has handled a tick raises it
// (ApplyTimerResolution), since winmm, which does it, is slow to load and the first frame needs no
// wait; the last such thread to pause (display off, session locked), to stop ticking or to end
// releases it (ReleaseTimerResolution), and the next tick due takes it back. Previews never raise
// it. Restore forbids it again and undoes a raise still held; it runs once every timer thread has
// ended.
void RaiseTimerResolution();
void ApplyTimerResolution(TimerRecord* record);
void ReleaseTimerResolution(TimerRecord* record);
void RestoreTimerResolution();

// Milliseconds of the performance counter, wrapping at 32 bits: the timer threads' clock. Any
// thread.
DWORD MillisecondsNow();

}  // namespace morvane

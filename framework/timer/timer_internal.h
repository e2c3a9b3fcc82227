#pragma once
// What the timer code shares between its files, and what its tests look into.
#include "timer/timer.h"

namespace morvane {

// One entry of threadList: a timer thread's handle and the next (older) entry.
struct ThreadListNode {
  HANDLE thread;
  ThreadListNode* next;
};

// Entering a thread in two steps, so that ScrStartTimer has every allocation behind it before it
// starts the thread: Allocate returns null when memory runs out; Enter puts the node at the head
// of threadList; Free releases a node that was never entered.
ThreadListNode* AllocateThreadNode();
void EnterThreadNode(ThreadListNode* node, HANDLE thread);
void FreeThreadNode(ThreadListNode* node);

// The steps of ScrStartTimer that can fail, as replaceable functions so that each failure can be
// brought about; every one gives null on failure. startThread creates the thread suspended.
// readyLimitMs bounds the wait for the started thread to be ready.
struct TimerStartSteps {
  TimerRecord* (*allocateRecord)();
  HANDLE (*createWakeEvent)();
  ThreadListNode* (*allocateNode)();
  HANDLE (*startThread)(TimerRecord* record, DWORD* threadId);
  DWORD readyLimitMs;
};
extern TimerStartSteps timerStartSteps;
extern const TimerStartSteps platformTimerStartSteps;

// timeBeginPeriod and timeEndPeriod, replaceable so that tests can count the raises and releases.
// Both return TIMERR_NOERROR (0) on success.
struct TimerResolutionSteps {
  UINT (*begin)(UINT periodMs);
  UINT (*end)(UINT periodMs);
};
extern TimerResolutionSteps timerResolutionSteps;
extern const TimerResolutionSteps platformTimerResolutionSteps;

// Timer records allocated and not yet freed, in the whole process.
extern volatile LONG liveTimerRecords;

}  // namespace morvane

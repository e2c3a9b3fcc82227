// Starting and stopping timers: stops during a wait and right after the start, second starts,
// starts after stops, noTimers, windows without a slot, starts that fail half-way, and the slot.
#include "timer_test_fixture.h"

#include <cstdint>

using namespace morvane;

namespace {

using TimerStop = TimerTest;

TEST_F(TimerStop, StopDuringALongWaitDetachesAtOnceAndTheThreadEndsWhenTheWaitIsOver) {
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(800); };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  HANDLE thread = ThreadOf(saver);
  ASSERT_TRUE(PumpUntil([&] { return script.count() == 1; }, 2000));
  ScrStopTimer(saver);
  EXPECT_EQ(nullptr, LookUpTimerRecord(saver));
  ASSERT_TRUE(PumpUntilEnded(thread, 5000));
  double ended = NowMs();
  EXPECT_EQ(1, script.count());
  EXPECT_GE(ended - script.startMs[0], 700.0);
  EXPECT_EQ(recordsBefore, liveTimerRecords);
  // Nothing left to stop: traced and harmless, as is a null window.
  ScrStopTimer(saver);
  ScrStopTimer(nullptr);
}

// The stop comes before the new thread can have looked at its queue; the quit request must reach
// it all the same. Repeated, since the race goes either way on any one try.
TEST_F(TimerStop, AStopRightAfterTheStartReachesTheThread) {
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(10); };
  HWND saver = Saver(&script);
  std::vector<HANDLE> threads;
  for (int i = 0; i < 20; ++i) {
    ScrStartTimer(saver);
    threads.push_back(ThreadOf(saver));
    ScrStopTimer(saver);
  }
  for (HANDLE thread : threads) ASSERT_TRUE(PumpUntilEnded(thread, 3000));
  EXPECT_EQ(0, script.count());
}

using TimerStart = TimerTest;

TEST_F(TimerStart, ASecondStartOnOneWindowIsRefusedAndTheFirstTimerGoesOn) {
  TickScript script;
  script.answer = [](HWND, int index) { return index < 3 ? LRESULT(10) : LRESULT(-1); };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  TimerRecord* first = LookUpTimerRecord(saver);
  HANDLE thread = ThreadOf(saver);
  ScrStartTimer(saver);
  EXPECT_EQ(first, LookUpTimerRecord(saver));
  EXPECT_EQ(1, CountTimerThreads());
  ASSERT_TRUE(PumpUntilEnded(thread, 3000));
  EXPECT_EQ(4, script.count());
}

TEST_F(TimerStart, AStartAfterAStopRunsANewTimerWhileTheOldOneFinishesItsWait) {
  TickScript script;
  script.answer = [](HWND, int index) { return index == 0 ? LRESULT(1500) : LRESULT(-1); };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  HANDLE oldThread = ThreadOf(saver);
  ASSERT_TRUE(PumpUntil([&] { return script.count() == 1; }, 2000));
  ScrStopTimer(saver);
  ScrStartTimer(saver);
  HANDLE newThread = ThreadOf(saver);
  ASSERT_NE(nullptr, newThread);
  EXPECT_NE(oldThread, newThread);
  EXPECT_EQ(2, CountTimerThreads());
  ASSERT_TRUE(PumpUntilEnded(newThread, 3000));
  EXPECT_EQ(2, script.count());
  EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(oldThread, 0));
  EXPECT_TRUE(PumpUntilEnded(oldThread, 4000));
}

// The saver restarts its timer inside a tick and answers -1 to the old one: the old timer's
// "had enough" arrives when the new timer sits in the slot, and must not end it.
TEST_F(TimerStart, AHadEnoughFromAStoppedTimerDoesNotEndItsSuccessor) {
  TickScript script;
  script.answer = [](HWND window, int index) {
    if (index == 0) {
      ScrStopTimer(window);
      ScrStartTimer(window);
      return LRESULT(-1);
    }
    return index < 6 ? LRESULT(10) : LRESULT(-1);
  };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  HANDLE oldThread = ThreadOf(saver);
  ASSERT_TRUE(PumpUntil([&] { return script.count() >= 1; }, 2000));
  HANDLE newThread = ThreadOf(saver);
  ASSERT_NE(nullptr, newThread);
  ASSERT_NE(oldThread, newThread);
  ASSERT_TRUE(PumpUntilEnded(newThread, 3000));
  EXPECT_EQ(7, script.count());
  EXPECT_TRUE(PumpUntilEnded(oldThread, 3000));
}

using TimerRefusal = TimerTest;

TEST_F(TimerRefusal, NoTimersStartsNothingAndTicksFallToTheDefault) {
  SetTimerPrefs(1, 0);
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(10); };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  EXPECT_EQ(nullptr, LookUpTimerRecord(saver));
  EXPECT_EQ(0, CountTimerThreads());
  EXPECT_EQ(0, SendMessageA(saver, SCRM_INTERNAL, SCRINTERNAL_TICK, 0));
  EXPECT_EQ(0, SendMessageA(saver, SCRM_INTERNAL, SCRINTERNAL_HADENOUGH, 0));
  EXPECT_EQ(0, script.count());
  EXPECT_EQ(recordsBefore, liveTimerRecords);
}

TEST_F(TimerRefusal, AWindowWithoutATimerSlotGetsNoTimer) {
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(10); };
  HWND bare = Saver(&script, false);
  ASSERT_FALSE(HasTimerSlot(bare));
  ScrStartTimer(bare);
  EXPECT_EQ(0, CountTimerThreads());
  EXPECT_EQ(recordsBefore, liveTimerRecords);
  EXPECT_EQ(0, script.count());
}

TimerRecord* NoRecord() {
  return nullptr;
}
HANDLE NoEvent() {
  return nullptr;
}
ThreadListNode* NoNode() {
  return nullptr;
}
HANDLE NoThread(TimerRecord*, DWORD*) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}
// The platform's wake event, kept to see afterwards whether a failed start closed it.
HANDLE lastWakeEvent;
HANDLE KeptWakeEvent() {
  lastWakeEvent = platformTimerStartSteps.createWakeEvent();
  return lastWakeEvent;
}

TEST_F(TimerRefusal, AStartThatFailsAtAnyStepLeavesNothingBehind) {
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(-1); };
  HWND saver = Saver(&script);
  TimerStartSteps failing[4];
  for (TimerStartSteps& steps : failing) {
    steps = platformTimerStartSteps;
    steps.createWakeEvent = KeptWakeEvent;
  }
  failing[0].allocateRecord = NoRecord;
  failing[1].createWakeEvent = NoEvent;
  failing[2].allocateNode = NoNode;
  failing[3].startThread = NoThread;
  const char* step[] = {"record", "event", "node", "thread"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(step[i]);
    timerStartSteps = failing[i];
    lastWakeEvent = nullptr;
    ScrStartTimer(saver);
    EXPECT_EQ(nullptr, LookUpTimerRecord(saver));
    EXPECT_EQ(0, CountTimerThreads());
    EXPECT_EQ(recordsBefore, liveTimerRecords);
    DWORD flags = 0;
    if (lastWakeEvent) {
      EXPECT_FALSE(GetHandleInformation(lastWakeEvent, &flags));
    }
  }
  timerStartSteps = platformTimerStartSteps;
  ScrStartTimer(saver);
  HANDLE thread = ThreadOf(saver);
  ASSERT_NE(nullptr, thread);
  EXPECT_TRUE(PumpUntilEnded(thread, 3000));
  EXPECT_EQ(1, script.count());
}

// Threads that do not get ready: one that ends without running the timer's routine, one the
// system holds back until gate is set, and one whose handle cannot resume it (the test keeps a
// full handle, heldThread, to let it go). A start never ends such a thread with TerminateThread,
// which crashes Wine for a suspended thread that never ran, so none of them is given a handle that
// could.
HANDLE gate;
HANDLE heldThread;

DWORD WINAPI EndAtOnce(void*) {
  return 0;
}

DWORD WINAPI TimerThreadBehindGate(void* record) {
  WaitForSingleObject(gate, INFINITE);
  return TimerThreadProc(record);
}

HANDLE ThreadEndingAtOnce(TimerRecord*, DWORD* threadId) {
  return CreateThread(nullptr, 0, EndAtOnce, nullptr, CREATE_SUSPENDED, threadId);
}

HANDLE HeldBackThread(TimerRecord* record, DWORD* threadId) {
  return CreateThread(nullptr, 0, TimerThreadBehindGate, record, CREATE_SUSPENDED, threadId);
}

HANDLE UnresumableThread(TimerRecord* record, DWORD* threadId) {
  heldThread = CreateThread(nullptr, 0, TimerThreadProc, record, CREATE_SUSPENDED, threadId);
  HANDLE limited = nullptr;
  DuplicateHandle(GetCurrentProcess(), heldThread, GetCurrentProcess(), &limited,
                  SYNCHRONIZE | THREAD_QUERY_INFORMATION | THREAD_SET_INFORMATION, FALSE, 0);
  return limited;
}

// Lets every held thread go: the test's release after the start, and the safety net of a start
// that would wait for ever.
void CALLBACK ReleaseHeldThreads(void*, BOOLEAN) {
  SetEvent(gate);
  if (heldThread) ResumeThread(heldThread);
}

TEST_F(TimerRefusal, AStartWhoseThreadDoesNotGetReadyGivesNoTimerAndLeavesNothingBehind) {
  SetTimerPrefs(0, 1);
  struct Case {
    const char* name;
    HANDLE (*startThread)(TimerRecord*, DWORD*);
    const char* trace;
    int registered;  // a thread that may still run is one the run's end waits for
  };
  const Case cases[] = {
      {"ends at once", ThreadEndingAtOnce,
       "ScrStartTimer: the timer thread ended before it was ready: no timer", 0},
      {"held back", HeldBackThread,
       "ScrStartTimer: the timer thread was not ready in time: no timer", 1},
      {"cannot be resumed", UnresumableThread,
       "ScrStartTimer: the timer thread could not be resumed: no timer", 0},
  };
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(10); };
  HWND saver = Saver(&script);
  const DWORD readyLimit = 300;
  for (const Case& failing : cases) {
    SCOPED_TRACE(failing.name);
    TraceCapture traces;
    gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    heldThread = nullptr;
    // Well past the ready limit, so that a start that waits for ever comes back, late.
    HANDLE safetyNet = nullptr;
    CreateTimerQueueTimer(&safetyNet, nullptr, ReleaseHeldThreads, nullptr, 3000, 0,
                          WT_EXECUTEONLYONCE);
    timerStartSteps = platformTimerStartSteps;
    timerStartSteps.startThread = failing.startThread;
    timerStartSteps.readyLimitMs = readyLimit;
    double start = NowMs();
    ScrStartTimer(saver);
    double elapsed = NowMs() - start;
    DeleteTimerQueueTimer(nullptr, safetyNet, INVALID_HANDLE_VALUE);
    timerStartSteps = platformTimerStartSteps;
    EXPECT_LT(elapsed, 2000.0);
    EXPECT_EQ(nullptr, LookUpTimerRecord(saver));
    EXPECT_TRUE(traces.Has(failing.trace));
    EXPECT_EQ(failing.registered, CountTimerThreads());
    // A thread that was let go late finds itself given up: it frees the record and ticks nothing.
    ReleaseHeldThreads(nullptr, FALSE);
    EXPECT_TRUE(PumpUntil([&] { return liveTimerRecords == recordsBefore; }, 3000));
    if (heldThread) {
      EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(heldThread, 3000));
      CloseHandle(heldThread);
      heldThread = nullptr;
    }
    EXPECT_TRUE(AwaitTimerThreads(3000));
    CloseThreadRegistry();
    CloseHandle(gate);
    EXPECT_EQ(0, script.count());
  }
  // The window can still have a timer.
  script.answer = [](HWND, int) { return LRESULT(-1); };
  ScrStartTimer(saver);
  HANDLE thread = ThreadOf(saver);
  ASSERT_NE(nullptr, thread);
  EXPECT_TRUE(PumpUntilEnded(thread, 3000));
  EXPECT_EQ(1, script.count());
}

TEST_F(TimerRefusal, TheRegistryClosesTheHandlesOfTheThreadsItHeld) {
  TickScript scripts[3];
  std::vector<HANDLE> threads;
  for (TickScript& script : scripts) {
    script.answer = [](HWND, int) { return LRESULT(-1); };
    HWND saver = Saver(&script);
    ScrStartTimer(saver);
    threads.push_back(ThreadOf(saver));
  }
  for (HANDLE thread : threads) ASSERT_TRUE(PumpUntilEnded(thread, 3000));
  ASSERT_TRUE(AwaitTimerThreads(1000));
  CloseThreadRegistry();
  EXPECT_EQ(0, CountTimerThreads());
  for (HANDLE thread : threads) {
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(thread, &flags));
  }
}

using TimerSlot = TimerTest;

// The slot must keep a record's address whole: in 64-bit Windows a block sized for 32 bits would
// lose the upper half of records placed above 4 GB.
TEST_F(TimerSlot, TheSlotHoldsAWholeRecordAddress) {
  TickScript script;
  HWND saver = Saver(&script);
  HLOCAL slot = GetPropA(saver, PROP_MORVANETIMERDATA);
  ASSERT_NE(nullptr, slot);
  EXPECT_GE(LocalSize(slot), sizeof(TimerSlot));
  // Never dereferenced: the slot is emptied again before the window goes.
  auto* wide = reinterpret_cast<TimerRecord*>(static_cast<uintptr_t>(0xF1E2D3C4B5A69788ull));
  StoreTimerRecord(saver, wide);
  EXPECT_EQ(wide, LookUpTimerRecord(saver));
  StoreTimerRecord(saver, nullptr);
  EXPECT_EQ(nullptr, LookUpTimerRecord(saver));
}

}  // namespace

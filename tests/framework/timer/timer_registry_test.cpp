// The wait at the end of a run: every registered thread, more than one wait's 64 handles, within
// one limit, the report when a timer is still in a long wait, and the ticks that timer threads send
// the run's thread meanwhile.
#include "message_box_spy.h"
#include "timer_test_fixture.h"

using namespace morvane;

namespace {

DWORD WINAPI WaitForRelease(void* release) {
  WaitForSingleObject(static_cast<HANDLE>(release), INFINITE);
  return 0;
}

void CALLBACK SetEventLater(void* event, BOOLEAN) {
  SetEvent(static_cast<HANDLE>(event));
}

// Threads that end when their release event is set; the registry owns the handles, the test keeps
// duplicates to look at them afterwards.
struct ReleasedThreads {
  std::vector<HANDLE> ownCopies;
  std::vector<HANDLE> releases;

  HANDLE NewRelease() {
    releases.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    return releases.back();
  }
  void Start(HANDLE release) {
    HANDLE thread = CreateThread(nullptr, 0, WaitForRelease, release, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    ownCopies.push_back(copy);
    ASSERT_TRUE(RegisterTimerThread(thread));
  }
  int Ended() const {
    int n = 0;
    for (HANDLE copy : ownCopies) n += WaitForSingleObject(copy, 0) == WAIT_OBJECT_0;
    return n;
  }
  ~ReleasedThreads() {
    for (HANDLE release : releases) SetEvent(release);
    for (HANDLE copy : ownCopies) {
      WaitForSingleObject(copy, 5000);
      CloseHandle(copy);
    }
    for (HANDLE release : releases) CloseHandle(release);
  }
};

// Sets event after delayMs on a thread-pool timer.
HANDLE ReleaseAfter(HANDLE event, DWORD delayMs) {
  HANDLE timer = nullptr;
  CreateTimerQueueTimer(&timer, nullptr, SetEventLater, event, delayMs, 0, WT_EXECUTEONLYONCE);
  return timer;
}

using ThreadRegistry = TimerTest;

TEST_F(ThreadRegistry, MoreThan64ThreadsAreAllAwaited) {
  ReleasedThreads threads;
  HANDLE release = threads.NewRelease();
  for (int i = 0; i < 130; ++i) ASSERT_NO_FATAL_FAILURE(threads.Start(release));
  ASSERT_EQ(130, CountTimerThreads());
  HANDLE timer = ReleaseAfter(release, 200);
  double start = NowMs();
  EXPECT_TRUE(AwaitTimerThreads(5000));
  EXPECT_GE(NowMs() - start, 150.0);
  EXPECT_EQ(130, threads.Ended());
  DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE);
}

// All but one thread end after 60% of the limit; the one that does not is in the last group. One
// limit for all groups returns after the limit, a limit per group only after 160% of it.
TEST_F(ThreadRegistry, TheLimitCoversAllGroupsTogetherAndATimeOutIsReported) {
  SetTimerPrefs(0, 1);
  ReleasedThreads threads;
  HANDLE stuck = threads.NewRelease();
  HANDLE release = threads.NewRelease();
  ASSERT_NO_FATAL_FAILURE(threads.Start(stuck));  // the oldest entry is waited for last
  for (int i = 0; i < 129; ++i) ASSERT_NO_FATAL_FAILURE(threads.Start(release));
  const DWORD limit = 600;
  HANDLE timer = ReleaseAfter(release, limit * 6 / 10);
  StartAnsweringBoxes();
  double start = NowMs();
  bool allEnded = AwaitTimerThreads(limit);
  double elapsed = NowMs() - start;
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  EXPECT_FALSE(allEnded);
  EXPECT_GE(elapsed, limit - 50.0);
  EXPECT_LT(elapsed, limit * 1.5);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Not all threads have terminated", boxes[0].text);
  EXPECT_EQ("ThreadTimer error", boxes[0].caption);
  SetEvent(stuck);
  DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE);
}

// The end of a run whose saver window went while its timer had a minute left to wait: the wait
// gives up at its limit with the report, and returns.
TEST_F(ThreadRegistry, ARunEndingWithATimerInALongWaitReportsAndReturns) {
  SetTimerPrefs(0, 1);
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(60000); };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  TimerRecord* record = LookUpTimerRecord(saver);
  HANDLE thread = record->threadHandle;
  HANDLE wake = record->wakeEvent;
  ASSERT_TRUE(PumpUntil([&] { return script.count() == 1; }, 2000));
  DestroyWindow(saver);
  StartAnsweringBoxes();
  double start = NowMs();
  EXPECT_FALSE(AwaitTimerThreads(400));
  EXPECT_LT(NowMs() - start, 2000.0);
  std::vector<ShownBox> boxes = StopAnsweringBoxes();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Not all threads have terminated", boxes[0].text);
  // Still in its wait, so its record and event are alive: cut the wait short to let it end.
  ASSERT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0));
  SetEvent(wake);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 3000));
  EXPECT_EQ(1, script.count());
}

// Polls without handling any message: the sender stays blocked.
bool PollUntil(bool (*done)(), DWORD limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= limitMs) return done();
    Sleep(1);
  }
  return true;
}

// A timer thread blocked in sending its first tick to a window of the run's thread when the run's
// end begins to wait; the timer was stopped before (its window was closed meanwhile) or is stopped
// by the saver as it handles the tick. The wait answers the tick, so the thread ends and the wait
// returns long before its limit, and it handles only what was sent: a posted message stays queued.
TEST_F(ThreadRegistry, TheRunsEndHandlesATickThatATimerThreadIsBlockedSending) {
  const UINT marker = WM_APP + 77;
  for (bool stoppedBefore : {true, false}) {
    SCOPED_TRACE(stoppedBefore ? "stopped before the wait" : "stopped by the saver in the tick");
    TickScript script;
    script.answer = [](HWND window, int) {
      ScrStopTimer(window);
      return LRESULT(10);
    };
    HWND saver = Saver(&script);
    ScrStartTimer(saver);
    HANDLE thread = ThreadOf(saver);
    ASSERT_NE(nullptr, thread);
    ASSERT_TRUE(PollUntil(SentMessagePending, 2000));
    if (stoppedBefore) ScrStopTimer(saver);
    PostMessageA(saver, marker, 0, 0);
    double start = NowMs();
    bool allEnded = AwaitTimerThreads(TimerThreadWaitLimit);
    double elapsed = NowMs() - start;
    EXPECT_TRUE(allEnded);
    EXPECT_LT(elapsed, 5000.0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    // A stopped window answers the tick without passing it to the saver.
    EXPECT_EQ(stoppedBefore ? 0 : 1, script.count());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, saver, marker, marker, PM_REMOVE))
        << "the wait took a posted message";
    DestroyWindow(saver);
    CloseThreadRegistry();
  }
}

// Ticks that keep coming while the run's end waits are handled, and the wait still gives up at
// its limit.
TEST_F(ThreadRegistry, TheRunsEndKeepsItsLimitWhileTicksKeepComing) {
  TickScript script;
  script.answer = [](HWND, int) { return LRESULT(5); };
  HWND saver = Saver(&script);
  ScrStartTimer(saver);
  HANDLE thread = ThreadOf(saver);
  ASSERT_TRUE(PumpUntil([&] { return script.count() >= 1; }, 2000));
  int ticksBefore = script.count();
  const DWORD limit = 600;
  double start = NowMs();
  EXPECT_FALSE(AwaitTimerThreads(limit));
  double elapsed = NowMs() - start;
  EXPECT_GE(elapsed, limit - 50.0);
  EXPECT_LT(elapsed, limit * 1.5);
  EXPECT_GT(script.count(), ticksBefore + 10);
  ScrStopTimer(saver);
  EXPECT_TRUE(PumpUntilEnded(thread, 3000));
}

}  // namespace

// The registry of timer threads that a run waits for at its end. threadList is touched under
// threadListLock: timer threads are entered by ScrStartTimer and the list is read and emptied by
// the run, both on the saver's thread, and the long wait happens outside the lock.
#include <new>

#include <windows.h>

#include "timer/frame_figures.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"
#include "core/trace.h"

namespace morvane {

namespace {

ThreadListNode* threadList;
CRITICAL_SECTION threadListLock;
bool threadListLockReady;
// Initialised once for the whole process: a second run must not initialise a lock that exists,
// and a timer started outside any run still needs it.
void EnsureThreadListLock() {
  if (threadListLockReady) return;
  InitializeCriticalSection(&threadListLock);
  threadListLockReady = true;
}

ThreadListNode* DetachThreadList() {
  EnsureThreadListLock();
  EnterCriticalSection(&threadListLock);
  ThreadListNode* list = threadList;
  threadList = nullptr;
  LeaveCriticalSection(&threadListLock);
  return list;
}

// A copy of the listed handles, which stay the registry's; null when the list is empty or no
// memory is left for the copy.
HANDLE* CopyThreadHandles(int* count) {
  EnsureThreadListLock();
  EnterCriticalSection(&threadListLock);
  int n = 0;
  for (ThreadListNode* node = threadList; node; node = node->next) ++n;
  HANDLE* handles = n ? new (std::nothrow) HANDLE[n] : nullptr;
  if (handles) {
    int i = 0;
    for (ThreadListNode* node = threadList; node; node = node->next) handles[i++] = node->thread;
  }
  LeaveCriticalSection(&threadListLock);
  *count = handles ? n : 0;
  return handles;
}

// Handles the messages that other threads have sent to this one. Posted messages stay queued: the
// run's loop is over, and what it left is not for the wait to take.
void HandleSentMessages() {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// Waits until the thread has ended or the limit, counted from start, has passed, handling what
// other threads send meanwhile: a timer thread blocked in sending a tick to a window of this
// thread ends only once the tick is answered. One thread at a time, since a wait for all of
// several handles would not wake for a sent message.
bool WaitForThread(HANDLE thread, DWORD start, DWORD limitMs) {
  for (;;) {
    if (WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) return true;
    DWORD elapsed = GetTickCount() - start;
    // Ticks that keep coming must not hold the wait past its limit.
    if (elapsed >= limitMs) return false;
    HandleSentMessages();
    DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, limitMs - elapsed, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0) return true;
    // Anything but a sent message (a time-out, a failure) leaves the thread unaccounted for.
    if (result != WAIT_OBJECT_0 + 1) return false;
  }
}

// Waits for all handles within limitMs together. True when every thread has ended.
bool WaitForAll(const HANDLE* handles, int count, DWORD limitMs) {
  DWORD start = GetTickCount();
  for (int i = 0; i < count; ++i) {
    if (!WaitForThread(handles[i], start, limitMs)) return false;
  }
  return true;
}

}  // namespace

ThreadListNode* AllocateThreadNode() {
  return new (std::nothrow) ThreadListNode{};
}

void EnterThreadNode(ThreadListNode* node, HANDLE thread) {
  EnsureThreadListLock();
  node->thread = thread;
  EnterCriticalSection(&threadListLock);
  node->next = threadList;
  threadList = node;
  LeaveCriticalSection(&threadListLock);
}

void FreeThreadNode(ThreadListNode* node) {
  delete node;
}

void OpenThreadRegistry() {
  CloseThreadRegistry();
}

bool RegisterTimerThread(HANDLE thread) {
  ThreadListNode* node = AllocateThreadNode();
  if (!node) return false;
  EnterThreadNode(node, thread);
  return true;
}

int CountTimerThreads() {
  EnsureThreadListLock();
  EnterCriticalSection(&threadListLock);
  int n = 0;
  for (ThreadListNode* node = threadList; node; node = node->next) ++n;
  LeaveCriticalSection(&threadListLock);
  return n;
}

bool AwaitTimerThreads(DWORD limitMs) {
  if (CountTimerThreads() == 0) return true;
  int count = 0;
  HANDLE* handles = CopyThreadHandles(&count);
  bool allEnded = handles && WaitForAll(handles, count, limitMs);
  delete[] handles;
  if (!allEnded) {
    Trace("Not all threads have terminated!");
    DebugMessageBox(nullptr, "Not all threads have terminated", "ThreadTimer error");
  }
  return allEnded;
}

void CloseThreadRegistry() {
  ThreadListNode* node = DetachThreadList();
  while (node) {
    ThreadListNode* next = node->next;
    CloseHandle(node->thread);
    delete node;
    node = next;
  }
}

DWORD MillisecondsNow() {
  return static_cast<DWORD>(MicrosecondsNow() / 1000);
}

}  // namespace morvane

// The 1 ms timer resolution, held while full-screen ticks are due. The count of the threads that
// hold it and the system calls change together under one lock, so that a thread pausing and
// another taking it back never leave the system with a raise nobody counts.
#include <windows.h>

#include "core/system_library.h"
#include "core/trace.h"
#include "timer/timer.h"
#include "timer/timer_internal.h"

namespace morvane {

namespace {

typedef UINT(WINAPI* TimePeriodProc)(UINT);

UINT PlatformBeginPeriod(UINT periodMs) {
  auto begin = SystemFunction<TimePeriodProc>("winmm.dll", "timeBeginPeriod");
  return begin ? begin(periodMs) : 97;  // TIMERR_NOCANDO
}

UINT PlatformEndPeriod(UINT periodMs) {
  auto end = SystemFunction<TimePeriodProc>("winmm.dll", "timeEndPeriod");
  return end ? end(periodMs) : 97;
}

SRWLOCK resolutionLock = SRWLOCK_INIT;
bool resolutionWanted;  // a run allows it
bool resolutionRaised;  // timeBeginPeriod(1) succeeded and has not been undone
int holders;            // full-screen threads with ticks due

void RaiseLocked() {
  if (resolutionRaised || !resolutionWanted || holders == 0) return;
  resolutionRaised = timerResolutionSteps.begin(1) == 0;
  if (resolutionRaised) Trace("Timer resolution raised to 1 ms");
}

void ReleaseLocked() {
  if (!resolutionRaised) return;
  timerResolutionSteps.end(1);
  resolutionRaised = false;
  Trace("Timer resolution released");
}

}  // namespace

const TimerResolutionSteps platformTimerResolutionSteps = {PlatformBeginPeriod, PlatformEndPeriod};
TimerResolutionSteps timerResolutionSteps = platformTimerResolutionSteps;

void RaiseTimerResolution() {
  AcquireSRWLockExclusive(&resolutionLock);
  resolutionWanted = true;
  ReleaseSRWLockExclusive(&resolutionLock);
}

void ApplyTimerResolution(TimerRecord* record) {
  if (!record->fullScreen || record->holdsResolution) return;
  record->holdsResolution = true;
  AcquireSRWLockExclusive(&resolutionLock);
  ++holders;
  RaiseLocked();
  ReleaseSRWLockExclusive(&resolutionLock);
}

void ReleaseTimerResolution(TimerRecord* record) {
  if (!record->holdsResolution) return;
  record->holdsResolution = false;
  AcquireSRWLockExclusive(&resolutionLock);
  if (--holders == 0) ReleaseLocked();
  ReleaseSRWLockExclusive(&resolutionLock);
}

void RestoreTimerResolution() {
  AcquireSRWLockExclusive(&resolutionLock);
  resolutionWanted = false;
  ReleaseLocked();
  ReleaseSRWLockExclusive(&resolutionLock);
}

}  // namespace morvane

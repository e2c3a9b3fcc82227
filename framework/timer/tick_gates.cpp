#include "timer/tick_gates.h"

#include "core/trace.h"
#include "power/power_state.h"

namespace morvane {

volatile LONG tickFloorMs;
volatile LONG lowerTimerPriority;

namespace {

SRWLOCK liveLock = SRWLOCK_INIT;
TimerRecord* liveRecords;

// The id of the check of a hidden preview, among the saver's own timers of the window.
const UINT_PTR hiddenPreviewCheck = 0x4D4F5256;
const UINT hiddenPreviewCheckMs = 250;

bool GateOpen(const TimerRecord& record) {
  return !TicksPausedByPower() && !record.hidden;
}

void CALLBACK CheckHiddenPreview(HWND window, UINT, UINT_PTR id, DWORD) {
  TimerRecord* record = LookUpTimerRecord(window);
  if (record && PreviewIsHidden(window)) return;
  KillTimer(window, id);
  if (!record) return;
  Trace("Preview shown again: its ticks resume");
  InterlockedExchange(&record->hidden, 0);
  ApplyTickGates();
}

}  // namespace

void EnterLiveRecord(TimerRecord* record) {
  AcquireSRWLockExclusive(&liveLock);
  record->nextLive = liveRecords;
  liveRecords = record;
  ReleaseSRWLockExclusive(&liveLock);
}

void LeaveLiveRecord(TimerRecord* record) {
  AcquireSRWLockExclusive(&liveLock);
  for (TimerRecord** link = &liveRecords; *link; link = &(*link)->nextLive) {
    if (*link != record) continue;
    *link = record->nextLive;
    break;
  }
  ReleaseSRWLockExclusive(&liveLock);
}

void ApplyTickGates() {
  InterlockedExchange(&tickFloorMs, CurrentTickFloorMs());
  InterlockedExchange(&lowerTimerPriority, powerState.onBattery ? 1 : 0);
  AcquireSRWLockExclusive(&liveLock);
  for (TimerRecord* record = liveRecords; record; record = record->nextLive) {
    if (GateOpen(*record)) {
      SetEvent(record->gate);
    } else {
      ResetEvent(record->gate);
    }
  }
  ReleaseSRWLockExclusive(&liveLock);
}

bool PreviewIsHidden(HWND window) {
  if (!IsWindowVisible(window)) return true;
  HWND root = GetAncestor(window, GA_ROOT);
  return root && IsIconic(root);
}

LRESULT PauseHiddenPreview(HWND window, TimerRecord* record) {
  if (InterlockedExchange(&record->hidden, 1) == 0) {
    Trace("Preview hidden: its ticks pause until it shows again");
    SetTimer(window, hiddenPreviewCheck, hiddenPreviewCheckMs, CheckHiddenPreview);
  }
  ApplyTickGates();
  return 0;
}

}  // namespace morvane

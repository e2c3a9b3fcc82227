// The timer slot: a window property holding a local-memory block with the window's timer record
// and its frame figures. Saver-window thread only.
#include "timer/timer.h"

namespace morvane {

namespace {

TimerSlot* SlotOf(HWND window) {
  // A fixed block: its handle is its address.
  return static_cast<TimerSlot*>(GetPropA(window, PROP_MORVANETIMERDATA));
}

}  // namespace

void CreateTimerSlot(HWND window) {
  if (SlotOf(window)) return;
  HLOCAL slot = LocalAlloc(LPTR, sizeof(TimerSlot));
  if (!slot) return;
  if (!SetPropA(window, PROP_MORVANETIMERDATA, slot)) LocalFree(slot);
}

bool HasTimerSlot(HWND window) {
  return SlotOf(window) != nullptr;
}

void StoreTimerRecord(HWND window, TimerRecord* record) {
  if (TimerSlot* slot = SlotOf(window)) slot->record = record;
}

TimerRecord* LookUpTimerRecord(HWND window) {
  TimerSlot* slot = SlotOf(window);
  return slot ? slot->record : nullptr;
}

FrameStats* FrameStatsOf(HWND window) {
  TimerSlot* slot = SlotOf(window);
  return slot ? &slot->frames : nullptr;
}

void RemoveTimerSlot(HWND window) {
  HANDLE slot = RemovePropA(window, PROP_MORVANETIMERDATA);
  if (slot) LocalFree(slot);
}

}  // namespace morvane

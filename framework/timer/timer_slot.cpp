// The timer slot: a window property holding a local-memory block with room for one record
// pointer. Saver-window thread only.
#include "timer/timer.h"

namespace morvane {

namespace {

TimerRecord** SlotOf(HWND window) {
  // A fixed block: its handle is its address.
  return static_cast<TimerRecord**>(GetPropA(window, PROP_MORVANETIMERDATA));
}

}  // namespace

void CreateTimerSlot(HWND window) {
  if (SlotOf(window)) return;
  HLOCAL slot = LocalAlloc(LPTR, sizeof(TimerRecord*));
  if (!slot) return;
  if (!SetPropA(window, PROP_MORVANETIMERDATA, slot)) LocalFree(slot);
}

bool HasTimerSlot(HWND window) {
  return SlotOf(window) != nullptr;
}

void StoreTimerRecord(HWND window, TimerRecord* record) {
  if (TimerRecord** slot = SlotOf(window)) *slot = record;
}

TimerRecord* LookUpTimerRecord(HWND window) {
  TimerRecord** slot = SlotOf(window);
  return slot ? *slot : nullptr;
}

void RemoveTimerSlot(HWND window) {
  HANDLE slot = RemovePropA(window, PROP_MORVANETIMERDATA);
  if (slot) LocalFree(slot);
}

}  // namespace morvane

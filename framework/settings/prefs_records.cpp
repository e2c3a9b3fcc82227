#include "settings/prefs.h"

namespace morvane {

// Each record handed out sits in a block on the process heap, listed so that ScrSetPrefs can tell
// it from a record the saver made itself (on its stack, or with another compiler's allocator),
// which it must not free.
namespace {

struct PrefsBlock {
  PrefsBlock* next;
  ScrPrefs record;
};

PrefsBlock* outstandingBlocks;

}  // namespace

ScrPrefs* AllocatePrefsRecord() {
  void* memory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(PrefsBlock));
  if (!memory) return nullptr;
  PrefsBlock* block = static_cast<PrefsBlock*>(memory);
  block->next = outstandingBlocks;
  outstandingBlocks = block;
  return &block->record;
}

bool ReleasePrefsRecord(ScrPrefs* record) {
  for (PrefsBlock** link = &outstandingBlocks; *link; link = &(*link)->next) {
    PrefsBlock* block = *link;
    if (&block->record != record) continue;
    *link = block->next;
    HeapFree(GetProcessHeap(), 0, block);
    return true;
  }
  return false;
}

}  // namespace morvane

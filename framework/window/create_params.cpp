#include "window/saver_state.h"

namespace morvane {

// Every record handed out is listed, so that WM_CREATE can tell the framework's record from
// whatever else a saver passed as lpCreateParams, and so that a record no window took is freed.
namespace {

struct ParamsBlock {
  ParamsBlock* next;
  unsigned serial;
  SaverCreateParams record;
};

ParamsBlock* outstandingBlocks;
unsigned lastSerial;

// Unlinks the first listed block that matches; null when none does.
template <typename Matches>
ParamsBlock* Unlink(Matches matches) {
  for (ParamsBlock** link = &outstandingBlocks; *link; link = &(*link)->next) {
    ParamsBlock* block = *link;
    if (!matches(*block)) continue;
    *link = block->next;
    return block;
  }
  return nullptr;
}

}  // namespace

SaverCreateParams* NewSaverCreateParams(int mode, unsigned* serial) {
  *serial = 0;
  void* memory = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ParamsBlock));
  if (!memory) return nullptr;
  ParamsBlock* block = static_cast<ParamsBlock*>(memory);
  block->record.mode = mode;
  // Serial 0 stands for no record.
  if (++lastSerial == 0) ++lastSerial;
  block->serial = *serial = lastSerial;
  block->next = outstandingBlocks;
  outstandingBlocks = block;
  return &block->record;
}

bool TakeSaverCreateParams(const void* candidate, int* mode) {
  if (!candidate) return false;
  ParamsBlock* block = Unlink([candidate](const ParamsBlock& b) { return &b.record == candidate; });
  if (!block) return false;
  *mode = block->record.mode;
  HeapFree(GetProcessHeap(), 0, block);
  return true;
}

bool OutstandingRequestMode(int* mode) {
  // New blocks go first in the list.
  if (!outstandingBlocks) return false;
  *mode = outstandingBlocks->record.mode;
  return true;
}

void DiscardSaverCreateParams(unsigned serial) {
  if (!serial) return;
  ParamsBlock* block = Unlink([serial](const ParamsBlock& b) { return b.serial == serial; });
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace morvane

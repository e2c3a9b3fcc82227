#pragma once
// The operations Windows carries out at the next restart (the Session Manager's
// PendingFileRenameOperations and PendingFileRenameOperations2): a REG_MULTI_SZ of pairs, a source
// and a target, each "\??\C:\..."; an empty target deletes the source, a target starting with '!'
// replaces what is there. An install drops every pair that would delete, move away or overwrite
// what it has just written, and keeps every other pair as it was.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace installer {

enum class PendingVerdict {
  Unchanged,  // no pair names the given paths: nothing to write
  Changed,    // pairs were dropped; `kept` is the value's new data (empty: delete the value)
  Malformed,  // not UTF-16 (an odd number of bytes): left alone
};

struct PendingFilter {
  PendingVerdict verdict = PendingVerdict::Unchanged;
  // The new data, every string with its zero and the list's closing zero; empty when no pair is
  // left.
  std::u16string kept;
  size_t droppedPairs = 0;
};

// Reads bytes bytes of the value's data (no further) and drops each pair whose source or target
// names one of paths ("C:\..." without the "\??\"; letters compared without case, a trailing
// backslash ignored). A last string without a partner is kept, unless it names one of paths.
PendingFilter DropPendingFor(const uint8_t* data, size_t bytes,
                             const std::vector<std::u16string>& paths);

}  // namespace installer

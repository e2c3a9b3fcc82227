// Any value data: no read past it, and what is kept names none of the paths any more.
#include <cstdint>
#include <cstdlib>

#include "pending_renames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::u16string> paths = {u"C:\\Windows\\System32\\glimmerbox.scr", u"C:\\G"};
  installer::PendingFilter filter = installer::DropPendingFor(data, size, paths);
  if (filter.verdict != installer::PendingVerdict::Changed) return 0;
  const uint8_t* kept = reinterpret_cast<const uint8_t*>(filter.kept.data());
  installer::PendingFilter again =
      installer::DropPendingFor(kept, filter.kept.size() * sizeof(char16_t), paths);
  if (again.verdict != installer::PendingVerdict::Unchanged) abort();
  return 0;
}

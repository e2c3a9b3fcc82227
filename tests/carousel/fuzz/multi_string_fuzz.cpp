// Fuzzes the reading of stored lists of savers: REG_MULTI_SZ bytes of any length and content,
// from a block of exactly that size, and their writing back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "carousel_settings.h"

namespace {

void Require(bool rule) {
  if (!rule) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto block = std::make_unique<char[]>(size ? size : 1);
  if (size) std::memcpy(block.get(), data, size);
  const auto items = carousel::SplitMultiString(block.get(), size);
  size_t total = 0;
  for (const auto& item : items) {
    Require(!item.empty() && item.find('\0') == std::string::npos);
    total += item.size() + 1;
  }
  Require(total <= size + 1);
  // What is read is written back unchanged: the list the page shows is the list it stores.
  const std::string joined = carousel::JoinMultiString(items);
  Require(carousel::SplitMultiString(joined.data(), joined.size()) == items);
  return 0;
}

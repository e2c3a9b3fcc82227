#include "core/bounded_text.h"

#include <cstring>

namespace morvane {

size_t BoundedLength(const char* text, size_t limit) {
  if (!text) return 0;
  const void* zero = std::memchr(text, 0, limit);
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - text) : limit;
}

size_t CopyText(char* target, size_t capacity, const char* source, size_t sourceLimit) {
  if (capacity == 0) return 0;
  size_t length = BoundedLength(source, sourceLimit);
  if (length > capacity - 1) length = capacity - 1;
  if (length > 0) std::memcpy(target, source, length);
  target[length] = 0;
  return length;
}

size_t AppendText(char* target, size_t capacity, const char* source) {
  if (capacity == 0) return 0;
  size_t used = BoundedLength(target, capacity);
  if (used == capacity) used = capacity - 1;
  return used + CopyText(target + used, capacity - used, source, static_cast<size_t>(-1) / 2);
}

}  // namespace morvane

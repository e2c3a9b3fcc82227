#include "core/string_table.h"

#include <cstddef>

namespace morvane {

namespace {

// A block holds strings id & ~15 to id | 15, each as a count of UTF-16 units and the units.
enum { StringsPerBlock = 16 };

// The units of entry index of a block of words units; false when the block ends before it.
bool FindEntry(const WCHAR* block, size_t words, unsigned index, const WCHAR** text,
               size_t* length) {
  size_t at = 0;
  for (unsigned entry = 0;; ++entry) {
    if (at >= words) return false;
    size_t count = block[at];
    if (count > words - at - 1) return false;
    if (entry == index) {
      *text = block + at + 1;
      *length = count;
      return true;
    }
    at += 1 + count;
  }
}

// The longest start of the text that fits in capacity - 1 bytes of the ANSI code page.
int Narrow(const WCHAR* text, size_t length, char* buffer, int capacity) {
  for (int take = static_cast<int>(length); take > 0; --take) {
    int written =
        WideCharToMultiByte(CP_ACP, 0, text, take, buffer, capacity - 1, nullptr, nullptr);
    if (written > 0) {
      buffer[written] = 0;
      return written;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
  }
  buffer[0] = 0;
  return 0;
}

}  // namespace

int LoadStringOfLanguage(HMODULE module, UINT id, LANGID language, char* buffer, int capacity) {
  if (!buffer || capacity <= 0) return 0;
  buffer[0] = 0;
  // LoadStringA reads the low 16 bits of the id.
  const unsigned shortId = LOWORD(id);
  HRSRC found =
      FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA(shortId / StringsPerBlock + 1), language);
  if (!found) return 0;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* block = static_cast<const WCHAR*>(loaded ? LockResource(loaded) : nullptr);
  if (!block) return 0;
  const WCHAR* text = nullptr;
  size_t length = 0;
  if (!FindEntry(block, SizeofResource(module, found) / sizeof(WCHAR), shortId % StringsPerBlock,
                 &text, &length) ||
      length == 0 || capacity == 1) {
    return 0;
  }
  return Narrow(text, length, buffer, capacity);
}

}  // namespace morvane

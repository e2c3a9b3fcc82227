// Fuzzes the "%i" number reading two ways: any bytes as text (the reading must stay inside the
// text and read the same number again from what it consumed), and a number written in one of the
// forms the reading accepts (it must come back exactly).
#include "core/scan_integer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

using namespace morvane;

namespace {

void Require(bool rule) {
  if (!rule) __builtin_trap();
}

void CheckAnyText(const uint8_t* data, size_t size) {
  auto text = std::make_unique<char[]>(size + 1);
  std::memcpy(text.get(), data, size);
  text[size] = 0;
  const char* end = nullptr;
  int32_t value = 0;
  if (!ReadScanfInteger(text.get(), &end, &value)) return;
  Require(end > text.get() && end <= text.get() + std::strlen(text.get()));
  std::string consumed(text.get(), static_cast<size_t>(end - text.get()));
  int32_t again = 0;
  const char* againEnd = nullptr;
  Require(ReadScanfInteger(consumed.c_str(), &againEnd, &again));
  Require(again == value && againEnd == consumed.c_str() + consumed.size());
}

// The first four bytes are the number, the fifth picks its form and the leading blanks.
void CheckWrittenNumber(const uint8_t* data, size_t size) {
  if (size < 5) return;
  int32_t number;
  std::memcpy(&number, data, sizeof number);
  const uint8_t form = data[4];
  const char* blanks[] = {"", " ", "\t", "  \n"};
  const uint32_t magnitude =
      number < 0 ? 0u - static_cast<uint32_t>(number) : static_cast<uint32_t>(number);
  const char* sign = number < 0 ? "-" : ((form & 0x10) ? "+" : "");
  char text[40];
  switch (form & 3) {
    case 0:
      std::snprintf(text, sizeof text, "%s%s%lu", blanks[(form >> 2) & 3], sign,
                    static_cast<unsigned long>(magnitude));
      break;
    case 1:
      std::snprintf(text, sizeof text, "%s%s0x%lx", blanks[(form >> 2) & 3], sign,
                    static_cast<unsigned long>(magnitude));
      break;
    case 2:
      std::snprintf(text, sizeof text, "%s%s0X%lX", blanks[(form >> 2) & 3], sign,
                    static_cast<unsigned long>(magnitude));
      break;
    default:
      std::snprintf(text, sizeof text, "%s%s0%lo", blanks[(form >> 2) & 3], sign,
                    static_cast<unsigned long>(magnitude));
      break;
  }
  int32_t value = 0;
  Require(ReadScanfInteger(text, nullptr, &value));
  Require(value == number);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckAnyText(data, size);
  CheckWrittenNumber(data, size);
  return 0;
}

#include "core/scan_integer.h"

namespace morvane {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

int ChooseBase(const char*& p) {
  if (p[0] != '0') return 10;
  if ((p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
    p += 2;
    return 16;
  }
  return 8;
}

}  // namespace

bool ReadScanfInteger(const char* text, const char** end, int32_t* value) {
  if (!text) return false;
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  int base = ChooseBase(p);
  if (DigitValue(*p) >= base) return false;
  // The magnitude stops growing once it is past the largest one either sign can use.
  const uint64_t limit = uint64_t(INT32_MAX) + 1;
  uint64_t magnitude = 0;
  for (; DigitValue(*p) < base; ++p) {
    magnitude = magnitude * base + DigitValue(*p);
    if (magnitude > limit) magnitude = limit + 1;
  }
  if (negative) {
    *value = magnitude >= limit ? INT32_MIN : -static_cast<int32_t>(magnitude);
  } else {
    *value = magnitude >= limit ? INT32_MAX : static_cast<int32_t>(magnitude);
  }
  if (end) *end = p;
  return true;
}

}  // namespace morvane

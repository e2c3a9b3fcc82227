#include "settings/settings_codec.h"

#include "core/bounded_text.h"
#include "core/scan_integer.h"

namespace morvane {

uint8_t CornerCodeFromChar(char c) {
  switch (c) {
    case 'Y': return 1;
    case 'N': return 2;
    default: return 0;
  }
}

char CornerCharFromCode(uint8_t code) {
  switch (code) {
    case 1: return 'Y';
    case 2: return 'N';
    default: return '-';
  }
}

void DecodeCornerText(const char text[4], uint8_t corners[4]) {
  for (int i = 0; i < 4; ++i) corners[i] = CornerCodeFromChar(text[i]);
}

void EncodeCornerText(const uint8_t corners[4], char text[5]) {
  for (int i = 0; i < 4; ++i) text[i] = CornerCharFromCode(corners[i]);
  text[4] = 0;
}

uint32_t DecodeSettingBytes(const unsigned char* data, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size && i < 4; ++i) value |= uint32_t(data[i]) << (8 * i);
  return value;
}

bool DecodeSettingText(const char* text, size_t size, uint32_t* value) {
  char copy[32];
  CopyText(copy, sizeof copy, text, size);
  int32_t number;
  if (!ReadScanfInteger(copy, nullptr, &number)) return false;
  *value = static_cast<uint32_t>(number);
  return true;
}

uint32_t ClampSettingIndex(uint32_t value, uint32_t max) {
  return value > max ? max : value;
}

}  // namespace morvane

// Fuzzes the decoding of stored user settings: corner texts and 32-bit values of any length and
// type, read from blocks of exactly the stored size (no terminating zero), as the registry may
// hand them over.
#include "settings/settings_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

using namespace morvane;

namespace {

void Require(bool rule) {
  if (!rule) __builtin_trap();
}

std::unique_ptr<unsigned char[]> Exact(const uint8_t* data, size_t size) {
  auto block = std::make_unique<unsigned char[]>(size ? size : 1);
  if (size) std::memcpy(block.get(), data, size);
  return block;
}

void CheckCorners(const uint8_t* data, size_t size) {
  char text[4] = {};
  std::memcpy(text, data, size < 4 ? size : 4);
  uint8_t corners[4];
  DecodeCornerText(text, corners);
  char stored[5];
  EncodeCornerText(corners, stored);
  Require(stored[4] == 0);
  uint8_t again[4];
  DecodeCornerText(stored, again);
  for (int i = 0; i < 4; ++i) Require(corners[i] <= 2 && again[i] == corners[i]);
}

void CheckNumber(const uint8_t* data, size_t size) {
  auto block = Exact(data, size);
  const size_t binary = size < 4 ? size : 4;
  uint32_t value = DecodeSettingBytes(block.get(), binary);
  if (binary < 4) Require(value >> (8 * binary) == 0);
  uint32_t fromText = 0;
  DecodeSettingText(reinterpret_cast<const char*>(block.get()), size, &fromText);
  Require(ClampSettingIndex(value, 3) <= 3 && ClampSettingIndex(fromText, 1) <= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckCorners(data, size);
  CheckNumber(data, size);
  return 0;
}

// Fuzzes the General page's text handling: any bytes as a mouse-sensitivity entry of a string
// table (label, last comma, number) and as the text of the delay box in either unit.
#include "config/page_values.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

using namespace morvane;

namespace {

void Require(bool rule) {
  if (!rule) __builtin_trap();
}

std::unique_ptr<char[]> Text(const uint8_t* data, size_t size) {
  auto text = std::make_unique<char[]>(size + 1);
  std::memcpy(text.get(), data, size);
  text[size] = 0;
  return text;
}

void CheckSensitivity(const uint8_t* data, size_t size) {
  auto entry = Text(data, size);
  const size_t length = std::strlen(entry.get());
  const char* lastComma = std::strrchr(entry.get(), ',');
  int32_t threshold = 0;
  const bool read = ReadSensitivityThreshold(entry.get(), &threshold);
  Require(!read || lastComma);
  CutSensitivityLabel(entry.get());
  const size_t label = std::strlen(entry.get());
  Require(lastComma ? label == static_cast<size_t>(lastComma - entry.get()) : label == length);
}

// The first byte picks the unit and what the box showed, the rest is the typed text.
void CheckDelay(const uint8_t* data, size_t size) {
  if (size < 1) return;
  auto text = Text(data + 1, size - 1);
  const uint32_t unit = data[0] & 1;
  const uint32_t shownUnit = (data[0] >> 1) & 1;
  const int32_t before = static_cast<int32_t>(data[0]) * 1000 - 70000;
  int32_t seconds = before;
  if (!ReadTypedDelay(text.get(), unit, shownUnit, &seconds)) Require(seconds == before);
  if (unit == DelayUnitMinutes)
    Require(seconds == before || seconds % 60 == 0 || seconds == INT32_MAX || seconds == INT32_MIN);
  Require(DelayShownInUnit(seconds, unit) == (unit == DelayUnitMinutes ? seconds / 60 : seconds));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckSensitivity(data, size);
  CheckDelay(data, size);
  return 0;
}

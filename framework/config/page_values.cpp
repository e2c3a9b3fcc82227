#include "config/page_values.h"

#include "core/scan_integer.h"

#include <cstring>

namespace morvane {

namespace {

const int32_t secondsPerMinute = 60;

}  // namespace

void CutSensitivityLabel(char* entry) {
  if (char* comma = std::strrchr(entry, ',')) *comma = 0;
}

bool ReadSensitivityThreshold(const char* entry, int32_t* threshold) {
  const char* comma = std::strrchr(entry, ',');
  return comma && ReadScanfInteger(comma + 1, nullptr, threshold);
}

int32_t DelaySecondsFromTyped(int32_t typed, uint32_t unit) {
  if (unit != DelayUnitMinutes) return typed;
  // A number typed in minutes can be as large as the edit takes; 32-bit arithmetic would wrap.
  int64_t seconds = int64_t(typed) * secondsPerMinute;
  if (seconds > INT32_MAX) return INT32_MAX;
  if (seconds < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(seconds);
}

int32_t DelayShownInUnit(int32_t seconds, uint32_t unit) {
  return unit == DelayUnitMinutes ? seconds / secondsPerMinute : seconds;
}

bool ReadTypedDelay(const char* text, uint32_t unit, uint32_t shownUnit, int32_t* seconds) {
  int32_t typed;
  if (!ReadScanfInteger(text, nullptr, &typed)) return false;
  if (unit != shownUnit || typed != DelayShownInUnit(*seconds, unit)) {
    *seconds = DelaySecondsFromTyped(typed, unit);
  }
  return true;
}

bool ReadEditedDelay(const char* text, uint32_t unit, int32_t* seconds) {
  int32_t typed;
  if (!ReadScanfInteger(text, nullptr, &typed)) return false;
  *seconds = DelaySecondsFromTyped(typed, unit);
  return true;
}

}  // namespace morvane

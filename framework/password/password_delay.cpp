#include "password/password_delay.h"

namespace morvane {

bool WithinPasswordDelay(uint32_t startMs, uint32_t nowMs, int32_t delaySeconds) {
  // NOTE: the General page can store a negative delay; compared unsigned it would mean no
  // password for 136 years.
  if (delaySeconds <= 0) return false;
  return (nowMs - startMs) / 1000 < static_cast<uint32_t>(delaySeconds);
}

}  // namespace morvane

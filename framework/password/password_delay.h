#pragma once
// The grace period after a saver starts during which closing it asks no password.
#include <cstdint>

namespace morvane {

// True while a close request at nowMs (a 32-bit millisecond count that wraps) comes fewer whole
// seconds after startMs than delaySeconds. A delay with its top bit set counts as 0: the
// password is due at once.
bool WithinPasswordDelay(uint32_t startMs, uint32_t nowMs, int32_t delaySeconds);

}  // namespace morvane

#include "timer/timer_pacing.h"

namespace morvane {

namespace {

const uint32_t endAnswer = 0xFFFFFFFFu;
const uint32_t signBit = 0x80000000u;
const int highestPriority = 2;
const int lowestPriority = -2;

}  // namespace

NextTick PaceNextTick(uint32_t answer, uint32_t t0, uint32_t t1) {
  if (answer == 0) return {TickPace::AtOnce, 0};
  if (answer == endAnswer) return {TickPace::End, 0};
  uint32_t deadline = t0 + answer;
  uint32_t remaining = deadline - t1;
  // Zero, or the sign bit set: the deadline is now or already behind.
  if (remaining == 0 || (remaining & signBit) != 0) return {TickPace::Yield, 0};
  return {TickPace::Wait, remaining};
}

uint32_t AtLeastPeriod(uint32_t answer, uint32_t minimumMs) {
  if (answer == endAnswer || minimumMs == 0) return answer;
  bool negative = (answer & signBit) != 0;
  return negative || answer < minimumMs ? minimumMs : answer;
}

uint32_t TickStart(bool waitedFor, uint32_t due, uint32_t now) {
  uint32_t lateness = now - due;  // wraps to a huge value when now is before due
  return waitedFor && lateness <= onTimeSlackMs ? due : now;
}

int PriorityBelow(int priority) {
  if (priority > highestPriority) return highestPriority;
  if (priority > lowestPriority) return priority - 1;
  return priority;
}

}  // namespace morvane

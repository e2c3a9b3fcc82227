#include "random.h"

RandomGenerator demoRandom;

int DrawRandom(RandomGenerator& generator) {
  // Unsigned so the multiply wraps modulo 2^32 exactly as the runtime's generator does.
  generator.state = generator.state * 214013u + 2531011u;
  return static_cast<int>((generator.state >> 16) & 0x7fffu);
}

int DrawRandom() {
  return DrawRandom(demoRandom);
}

void ResetRandom() {
  demoRandom = RandomGenerator{};
}

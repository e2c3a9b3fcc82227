#pragma once
#include <cstdint>

// The runtime library's linear congruential generator, kept as our own so every build and every
// run draws the same sequence: state 1 at start, 15-bit results. Every scene owns one, so scenes
// that run side by side each start from the same picture and never disturb one another.
struct RandomGenerator {
  std::uint32_t state = 1;
};

int DrawRandom(RandomGenerator& generator);

// The demo's one generator.
int DrawRandom();

// Puts the demo's generator back to its start state (tests only; the demo never reseeds).
void ResetRandom();

extern RandomGenerator demoRandom;

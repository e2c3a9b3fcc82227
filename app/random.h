#pragma once
#include <cstdint>

// The runtime library's linear congruential generator, kept as our own so every build and every
// run draws the same sequence: state 1 at start, 15-bit results.
int DrawRandom();

// Puts the generator back to its start state (tests only; the demo never reseeds).
void ResetRandom();

#include "scene_seed.h"

#include "random.h"

namespace {

// Odd, so that distinct numbers give distinct starts (multiplying by it is one-to-one modulo 2^32),
// and with its bits spread so that neighbouring numbers land far apart in the generator's cycle.
constexpr std::uint32_t SeedStride = 0x9E3779B9u;

}  // namespace

std::uint32_t SceneSeedOf(int monitorNumber) {
  const std::uint32_t demoStart = RandomGenerator{}.state;
  if (monitorNumber <= 0) return demoStart;
  return demoStart + static_cast<std::uint32_t>(monitorNumber) * SeedStride;
}

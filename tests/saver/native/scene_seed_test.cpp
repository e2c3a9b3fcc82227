// Where each saver window's scene starts: previews and the primary monitor's window as the demo
// does, every other monitor's window from a start of its own that looks different.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <set>

#include "light_sim.h"
#include "random.h"
#include "scene_seed.h"

namespace {

LightScene PlacedFrom(std::uint32_t seed) {
  RandomGenerator random;
  random.state = seed;
  LightScene scene;
  PlaceLights(scene, random);
  return scene;
}

// Lights among the first `count` that start at another spot of the floor.
int MovedLights(const LightScene& a, const LightScene& b, int count) {
  int moved = 0;
  for (int i = 0; i < count; ++i) {
    moved += a.lights[i].x != b.lights[i].x || a.lights[i].z != b.lights[i].z;
  }
  return moved;
}

TEST(SceneSeed, PreviewsAndThePrimaryMonitorStartAsTheDemoDoes) {
  const RandomGenerator demoStart;
  for (int number : {-1, 0, -2, INT_MIN}) {
    EXPECT_EQ(SceneSeedOf(number), demoStart.state) << number;
  }
  // The demo's first light, which the end-to-end tests of the saver see too.
  const LightScene primary = PlacedFrom(SceneSeedOf(0));
  EXPECT_EQ(primary.lights[0].x, -9.0f);
  EXPECT_EQ(primary.lights[0].z, -3.0f);
}

TEST(SceneSeed, EveryOtherMonitorHasAStartOfItsOwn) {
  std::set<std::uint32_t> seeds;
  for (int number = 0; number < 64; ++number) seeds.insert(SceneSeedOf(number));
  EXPECT_EQ(seeds.size(), 64u);
  // The largest numbers still give a start and never the demo's.
  EXPECT_NE(SceneSeedOf(INT_MAX), SceneSeedOf(0));
  EXPECT_NE(SceneSeedOf(INT_MAX), SceneSeedOf(INT_MAX - 1));
}

TEST(SceneSeed, ScreensSideBySideVisiblyDiffer) {
  // With the default 15 lights most of them start elsewhere on each pair of screens: a few equal
  // spots by chance are fine, a shifted copy of one swarm is not.
  constexpr int Monitors = 8;
  LightScene scenes[Monitors];
  for (int number = 0; number < Monitors; ++number)
    scenes[number] = PlacedFrom(SceneSeedOf(number));
  for (int a = 0; a < Monitors; ++a) {
    for (int b = a + 1; b < Monitors; ++b) {
      EXPECT_GE(MovedLights(scenes[a], scenes[b], 15), 12) << a << " and " << b;
      // Nor does one screen show the other's swarm a light later.
      int shifted = 0;
      for (int i = 0; i + 1 < 15; ++i) {
        shifted += scenes[a].lights[i + 1].x == scenes[b].lights[i].x &&
                   scenes[a].lights[i + 1].z == scenes[b].lights[i].z &&
                   scenes[a].lights[i + 1].vx == scenes[b].lights[i].vx;
      }
      EXPECT_LT(shifted, 3) << a << " and " << b;
    }
  }
}

}  // namespace

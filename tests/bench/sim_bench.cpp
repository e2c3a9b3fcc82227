#include <benchmark/benchmark.h>

#include "light_sim.h"
#include "random.h"

namespace {

// One frame's simulation without drawing: the camera move, then every active light.
// The lights stay inside the room by construction, so stepping on indefinitely is fine.
void BM_SimulationStep(benchmark::State& state) {
  ResetRandom();
  ResetSceneState();
  PlaceLights();
  lightCount = static_cast<float>(state.range(0));

  for (auto _ : state) {
    MoveCamera(camera);
    StepActiveLights();
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(lights);
  state.counters["lights"] = static_cast<double>(state.range(0));
}

BENCHMARK(BM_SimulationStep)->Arg(15)->Arg(50);

}  // namespace

BENCHMARK_MAIN();

#include "ReferenceSamples.h"
#include "ReferenceSolution.h"

#include <benchmark/benchmark.h>

using namespace cosmophase;

namespace {

ReferenceStart defaultStart()
{
    Simulation sim;
    sim.initialize();
    return ReferenceStart::of(sim);
}

// What `cosmophase-export accuracy` adds to a run: the reference to the
// stopping event, located, without keeping the path (goal: at most 20 ms).
void BM_ReferencePresentDay(benchmark::State& state)
{
    const ReferenceStart start = defaultStart();
    for (auto _ : state)
        benchmark::DoNotOptimize(referencePresentDay(start));
}
BENCHMARK(BM_ReferencePresentDay)->Unit(benchmark::kMillisecond);

// The same with every step kept, as the application and `samples
// --reference` need it.
void BM_ReferenceSolution(benchmark::State& state)
{
    const ReferenceStart start = defaultStart();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReferenceSolution(start).presentDay());
}
BENCHMARK(BM_ReferenceSolution)->Unit(benchmark::kMillisecond);

// The reference at each of the run's 5,923 samples: what the application
// computes off the UI thread.
void BM_ReferenceAtSamples(benchmark::State& state)
{
    Simulation run;
    run.initialize();
    run.runSimulation();
    const std::vector<long double> times = sampleModelTimes(run);
    const ReferenceStart start = ReferenceStart::of(run);
    for (auto _ : state)
        benchmark::DoNotOptimize(referenceAtSamples(ReferenceSolution(start, times.back()), times));
}
BENCHMARK(BM_ReferenceAtSamples)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

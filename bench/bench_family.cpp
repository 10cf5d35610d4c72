// A family of runs for the phase plane: the default study grid's 50 values
// of q, computed on 1 and 2 workers as the window does (computeFamily), and
// one run alone for scale. Goal: 50 runs in 100 ms on 2 cores.
#include "FamilyRuns.h"

#include <benchmark/benchmark.h>

namespace {

using namespace cosmophase::studies;

const ParameterGrid& grid()
{
    static const ParameterGrid parsed = *GridParse::acceleration("0.999999999:0.999:50:log").grid;
    return parsed;
}

void BM_OneRun(benchmark::State& state)
{
    for (auto _ : state) {
        FamilyRun run = computeFamilyRun({0.999999426, 9000});
        benchmark::DoNotOptimize(run.z2.data());
    }
}
BENCHMARK(BM_OneRun)->Unit(benchmark::kMillisecond);

void BM_FamilyOf50(benchmark::State& state)
{
    std::size_t samples = 0;
    for (auto _ : state) {
        samples = 0;
        computeFamily(grid(), 9000, static_cast<unsigned>(state.range(0)), [&samples](std::size_t, FamilyRun&& run) {
            samples += run.z2.size();
            return true;
        });
    }
    state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(BM_FamilyOf50)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

#include "CurveSet.h"
#include "CurvesExport.h"
#include "DataFormat.h"
#include "RunSummary.h"
#include "Simulation.h"

#include <benchmark/benchmark.h>

using namespace cosmophase;

namespace {

// Formatting every number with 17 digits is most of what `samples` and
// `curves` cost beyond the model itself.
void BM_SamplesCsv(benchmark::State& state)
{
    Simulation run;
    run.initialize();
    run.runSimulation();
    const SampleColumns columns{run.getz2Data(), run.getw0Data(), run.getw2Data(),
                                run.getTimeData()};
    for (auto _ : state)
        benchmark::DoNotOptimize(samplesCsv(columns));
}
BENCHMARK(BM_SamplesCsv)->Unit(benchmark::kMillisecond);

void BM_CurvesCsv(benchmark::State& state)
{
    CurveSet curves;
    curves.initialize();
    for (auto _ : state)
        benchmark::DoNotOptimize(curvesCsv(curves));
}
BENCHMARK(BM_CurvesCsv)->Unit(benchmark::kMillisecond);

// Everything `cosmophase-export summary` computes: a forward run plus the
// whole curve set.
void BM_Summary(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(summaryText(computeRunSummary()));
}
BENCHMARK(BM_Summary)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

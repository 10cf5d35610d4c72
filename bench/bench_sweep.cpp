// The sweep's cost per row against a plain loop of the same runs, and its
// throughput on one and on two threads (rows/s). Run on an idle machine:
//   build/bench/bench_sweep
#include "OrderedParallel.h"
#include "ParameterGrid.h"
#include "Simulation.h"
#include "StudyPoint.h"
#include "SweepFormat.h"

#include <benchmark/benchmark.h>

namespace {

using namespace cosmophase;

// The grid of `sweep --q 0.99:0.9999999:40 --T 1000:99000:50`: 2,000 rows,
// q outer and T inner.
constexpr std::uint64_t kRows = 2000;

RunParameters parametersAt(std::uint64_t row)
{
    static const studies::ParameterGrid q = *studies::GridParse::acceleration("0.99:0.9999999:40").grid;
    static const studies::ParameterGrid T = *studies::GridParse::temperature("1000:99000:50").grid;
    return {q[row / T.size()], static_cast<std::int32_t>(T[row % T.size()])};
}

// What a user would write by hand: the bounded run at each q, keeping only
// its last state.
void BM_PlainLoop(benchmark::State& state)
{
    for (auto _ : state) {
        for (std::uint64_t row = 0; row < kRows; ++row) {
            Simulation sim;
            sim.initialize(parametersAt(row));
            benchmark::DoNotOptimize(sim.runSimulationBounded());
            benchmark::DoNotOptimize(sim.getTimeData().back());
        }
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PlainLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sweep's own path: rows computed in order on N threads and formatted.
void BM_Sweep(benchmark::State& state)
{
    const auto threads = static_cast<unsigned>(state.range(0));
    const bool reference = state.range(1) != 0;
    for (auto _ : state) {
        std::string out;
        studies::computeInOrder<studies::StudyPoint>(
            0, kRows, threads,
            [&](std::uint64_t row) {
                return studies::computeStudyPoint(parametersAt(row), reference);
            },
            [&](std::uint64_t, const studies::StudyPoint& point) {
                studies::appendSweepCsvRow(out, point, reference);
                return true;
            });
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(kRows), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Sweep)->ArgNames({"threads", "reference"})->Args({1, 0})->Args({2, 0})->Args({1, 1})->Args({2, 1})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();

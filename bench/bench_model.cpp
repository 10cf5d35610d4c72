#include "CurveSet.h"
#include "Simulation.h"

#include <benchmark/benchmark.h>

using cosmophase::CurveSet;
using cosmophase::Simulation;

namespace {

void BM_ForwardRun(benchmark::State& state)
{
    for (auto _ : state) {
        Simulation sim;
        sim.initialize();
        sim.runSimulation();
        benchmark::DoNotOptimize(sim.getTimeData().data());
    }
}
BENCHMARK(BM_ForwardRun)->Unit(benchmark::kMicrosecond);

void BM_RungeKuttaStep(benchmark::State& state)
{
    Simulation sim;
    sim.initialize();
    sim.setTauStep(0.001);
    for (auto _ : state) {
        sim.ruggaKettaMethod(0.5, 0.25, -0.125, 1.0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RungeKuttaStep);

void BM_CurveSet(benchmark::State& state)
{
    for (auto _ : state) {
        CurveSet curves;
        curves.initialize();
        benchmark::DoNotOptimize(curves.family().x.data());
    }
}
BENCHMARK(BM_CurveSet)->Unit(benchmark::kMillisecond);

// What the application computes before its first frame: the controller's run
// plus the view's own run and curve set.
void BM_StartupComputation(benchmark::State& state)
{
    for (auto _ : state) {
        Simulation controllerRun;
        controllerRun.initialize();
        controllerRun.runSimulation();
        CurveSet curves;
        curves.initialize();
        benchmark::DoNotOptimize(controllerRun.getTimeData().data());
        benchmark::DoNotOptimize(curves.unstableRest().x.data());
    }
}
BENCHMARK(BM_StartupComputation)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

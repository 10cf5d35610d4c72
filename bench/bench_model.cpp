#include "CurveSet.h"
#include "Simulation.h"
#include "SolutionTrace.h"

#include <benchmark/benchmark.h>

using cosmophase::CurveSet;
using cosmophase::Simulation;
using cosmophase::SolutionTrace;

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

// A click's trace, both halves. The slowest point found by searching the
// square (a grid, then closer in where curves linger) lies about 1.4e-6 from
// the saddle at the origin: each half creeps away from it before running to
// a node, 65,653 steps in all. A rest point stops each half at 1,001 steps.
struct TracePoint {
    const char* name;
    double z2, w0;
};
constexpr TracePoint kTracePoints[] = {
    {"slowest", -1.3886260986328128e-06, 3.0670166015625008e-08},
    {"typical", 0.5, 0.5},
    {"equilibrium", 0, 0},
};

void BM_TraceThrough(benchmark::State& state)
{
    const TracePoint& point = kTracePoints[state.range(0)];
    state.SetLabel(point.name);
    std::size_t steps = 0;
    for (auto _ : state) {
        const SolutionTrace trace = cosmophase::traceThrough(point.z2, point.w0);
        steps = trace.forward.size() + trace.backward.size() - 2;
        benchmark::DoNotOptimize(trace.forward.x.data());
    }
    state.counters["steps"] = static_cast<double>(steps);
    using benchmark::Counter;
    state.counters["per_step"] = Counter(static_cast<double>(steps),
                                         Counter::kIsIterationInvariantRate | Counter::kInvert);
}
BENCHMARK(BM_TraceThrough)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The bounded run at other parameters against the default run, per step:
// the parameters change only where the run starts and how many steps it takes.
const struct {
    const char* name;
    cosmophase::RunParameters parameters;
} kRuns[] = {{"default", {}},
             {"1-q=1e-5", {1 - 1e-5, 9000}},
             {"1-q=1e-7", {1 - 1e-7, 9000}},
             {"q=1,T=1000", {1, 1000}},
             {"q=1.3", {1.3, 9000}}};

void BM_RunAtParameters(benchmark::State& state)
{
    const auto& run = kRuns[state.range(0)];
    state.SetLabel(run.name);
    std::int32_t steps = 0;
    for (auto _ : state) {
        Simulation sim;
        sim.initialize(run.parameters);
        benchmark::DoNotOptimize(sim.runSimulationBounded());
        steps = sim.runStats().attemptedSteps;
    }
    state.counters["steps"] = steps;
    using benchmark::Counter;
    state.counters["per_step"] = Counter(static_cast<double>(steps),
                                         Counter::kIsIterationInvariantRate | Counter::kInvert);
}
BENCHMARK(BM_RunAtParameters)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

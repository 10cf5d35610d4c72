// Runs the bounded forward run over a grid of q and T and prints, per run,
// how it ended, its steps, the age at the Hubble-equality epoch, q0 there
// and the time taken: the measurement behind ParameterDomain.
//
//   scan_parameter_domain            the standard grid
//   scan_parameter_domain Q [T [BUDGET]]  one run
//   scan_parameter_domain --dense    q on a fine grid over (0, sqrt(7)/2):
//                                    the first q, if any, whose run fails
#include "Observables.h"
#include "RunParameters.h"
#include "Simulation.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <algorithm>
#include <vector>

using namespace cosmophase;

namespace {

void scan(double q, std::int32_t T, std::int32_t budget)
{
    Simulation sim;
    const auto start = std::chrono::steady_clock::now();
    sim.initialize(RunParameters{q, T});
    const RunStatus status = sim.runSimulationBounded(budget);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    sim.computeRedShiftVsLuminosity();
    const RunStats& stats = sim.runStats();
    std::printf("%-24.17g %10d %-9s %9d %8d %12.5g %8.4f %9.3f %10.4g\n", q, T, statusWord(status),
                stats.attemptedSteps, stats.rejectedSteps, sim.getTimeData().back() / 1e9, sim.q0(),
                ms, sim.getTimeData().front());
}

// q = k/N of the pole for k = 1 ... N-1, and 1 - q = 10^-e for e in
// 3 ... 15; reports each run that does not end "ok".
int denseScan()
{
    const double pole = std::sqrt(7.0) / 2;
    std::vector<double> qs;
    constexpr int kPoints = 20000;
    for (int k = 1; k < kPoints; ++k)
        qs.push_back(pole * k / kPoints);
    for (double e = 3; e <= 15; e += 0.01)
        qs.push_back(1 - std::pow(10.0, -e));
    int failures = 0;
    std::int64_t maxSteps = 0;
    for (double q : qs) {
        for (std::int32_t T : {1, RunParameters::kDefaultTemperature, 2147483647}) {
            if (!ParameterDomain::check(RunParameters{q, T}).empty())
                continue;
            Simulation sim;
            sim.initialize(RunParameters{q, T});
            const RunStatus status = sim.runSimulationBounded();
            maxSteps = std::max<std::int64_t>(maxSteps, sim.runStats().attemptedSteps);
            if (status != RunStatus::Ok) {
                ++failures;
                scan(q, T, Simulation::kRunStepBudget);
            }
        }
    }
    std::printf("%zu values of q, 3 of T: %d runs failed; most steps %lld\n", qs.size(), failures,
                static_cast<long long>(maxSteps));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::printf("%-24s %10s %-9s %9s %8s %12s %8s %9s %10s\n", "q", "T", "status", "steps", "rejected",
                "age_gyr", "q0", "ms", "time_init");
    if (argc > 1 && std::string(argv[1]) == "--dense")
        return denseScan();
    if (argc > 1) {
        const std::int32_t T = argc > 2 ? std::atoi(argv[2]) : RunParameters::kDefaultTemperature;
        const std::int32_t budget = argc > 3 ? std::atoi(argv[3]) : Simulation::kRunStepBudget;
        scan(std::strtod(argv[1], nullptr), T, budget);
        return 0;
    }
    std::vector<double> qs = {-1, -1e-3, 0, 1e-300, 1e-12, 1e-9, 1e-6, 1e-3, 0.01, 0.1, 0.3, 0.5, 0.7,
                              0.9, 0.99, 0.999, 0.9999, 1 - 1e-5, 1 - 1e-6, RunParameters::kDefaultAcceleration,
                              1 - 1e-7, 1 - 1e-8, 1 - 1e-9, 1 - 1e-12, 1, 1 + 1e-9, 1 + 1e-6, 1.001, 1.01,
                              1.1, 1.2, 1.25, 1.28, 1.3, 1.31, 1.315, 1.32, 1.322, 1.3225, 1.3228,
                              1.32287, 1.3228756, 1.3229, 1.323, 1.324, 1.325, 1.35, 1.41, 1.42, 2, 10};
    for (double q : qs)
        scan(q, RunParameters::kDefaultTemperature, Simulation::kRunStepBudget);
    for (std::int32_t T : {1, 2, 10, 100, 1000, 100000, 10000000, 2147483647})
        for (double q : {1e-6, RunParameters::kDefaultAcceleration, 1.0, 1.3})
            scan(q, T, Simulation::kRunStepBudget);
    return 0;
}

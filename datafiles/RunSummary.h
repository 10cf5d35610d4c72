#pragma once

#include "Simulation.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cosmophase {

struct CurvePointCount {
    std::string name;
    std::size_t points = 0;
};

// What `cosmophase-export summary` reports about the forward run and the
// curve set, so two machines can compare their results at a glance.
struct RunSummary {
    RunParameters parameters;
    RunStatus status = RunStatus::Ok;
    std::size_t sampleCount = 0;
    RunStats stats;
    double finalTime = 0; // last time sample, in years
    double finalSimTime = 0;
    double z2 = 0; // last accepted state
    double z4 = 0;
    double w0 = 0;
    double w2 = 0;
    double q0 = 0;
    double xi0 = 0;
    std::vector<CurvePointCount> curves;
    std::string digest;
};

// Runs the bounded forward run from `parameters`, which lie in their domain,
// and builds the whole curve set. A run that fails says so in `status`.
RunSummary computeRunSummary(const RunParameters& parameters = {});

std::string summaryText(const RunSummary& summary);

// One object with the same fields; non-finite values are null.
std::string summaryJson(const RunSummary& summary);

} // namespace cosmophase

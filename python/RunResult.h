#pragma once

#include "ReferenceSamples.h"
#include "RunParameters.h"
#include "RunStatus.h"
#include "Simulation.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace cosmophase::python {

// One bounded forward run with the columns the samples export derives from
// it and, when asked for and the run reached the present day, the reference
// at each sample. Python's arrays are views of these vectors.
struct RunResult {
    RunParameters parameters;
    RunStatus status = RunStatus::Ok;
    Simulation simulation; // holds z2, w0, w2 and the time in years
    std::vector<std::int64_t> index;
    std::vector<double> densityRatio;
    std::vector<double> q0;
    std::vector<double> xi0;
    std::optional<ReferenceSamples> reference;

    // Pure computation: safe without the GIL and from several threads.
    static std::unique_ptr<RunResult> compute(const RunParameters& parameters, bool withReference);
};

} // namespace cosmophase::python

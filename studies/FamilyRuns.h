#pragma once

#include "ParameterGrid.h"
#include "RunParameters.h"
#include "RunStatus.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace cosmophase::studies {

// One run of a family: its parameters, how it ended and its trajectory in
// the phase plane, the same numbers bit for bit as the window's run at
// those parameters.
struct FamilyRun {
    RunParameters parameters;
    RunStatus status = RunStatus::Ok;
    std::vector<double> z2;
    std::vector<double> w0;
};

// A family's run at `parameters`; outside the domain, a run with no samples
// and the domain's refusal as its status.
FamilyRun computeFamilyRun(const RunParameters& parameters);

// The runs of every q of `q` at `T` on `threads` workers (computeInOrder;
// 0: one per core),
// each handed to `done(index, run)` in grid order; `done` returns false to
// stop early (a cancel). Returns whether every run was handed over.
bool computeFamily(const ParameterGrid& q, std::int32_t T, unsigned threads,
                   const std::function<bool(std::size_t, FamilyRun&&)>& done);

} // namespace cosmophase::studies

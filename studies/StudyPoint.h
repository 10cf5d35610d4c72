#pragma once

#include "RunParameters.h"
#include "RunStatus.h"

#include <cstddef>
#include <optional>

namespace cosmophase::studies {

// What a parameter study reads off one run: the present day's age and
// parameters.
struct PresentDayValues {
    double elapsedYears = 0;
    double q0 = 0;
    double xi0 = 0;
    double densityRatio = 0;
};

struct StudyPoint {
    RunParameters parameters;
    RunStatus status = RunStatus::Ok;
    std::size_t samples = 0;
    std::optional<PresentDayValues> run;       // when the run reached its epoch
    std::optional<PresentDayValues> reference; // when asked for and reached
};

// Runs the model at `parameters` within its step budget (a point outside the
// domain is not run) and, when asked, the reference solution from the same
// start. Safe to call from several threads at once.
StudyPoint computeStudyPoint(const RunParameters& parameters, bool withReference);

// The present day of one integrator alone; nothing where it is not reached.
enum class Integrator { Run, Reference };
std::optional<PresentDayValues> presentDayOf(Integrator integrator, const RunParameters& parameters);

} // namespace cosmophase::studies

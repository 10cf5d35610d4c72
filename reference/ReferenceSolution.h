#pragma once

#include "ReferenceField.h"
#include "Simulation.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace cosmophase {

// Where a reference starts: what an initialized Simulation would run from.
struct ReferenceStart {
    State state;
    double timeInit = 0;
    bool forward = true;

    // The starting state (full extended precision), m_time_init and the
    // direction flag of `initialized`, whatever parameters it was set up with.
    static ReferenceStart of(const Simulation& initialized);
};

// Error control of the reference: per step, the error estimate of each
// variable stays below absolute + relative × |value|. The default keeps
// every reported quantity right to better than 1e-12 (the run's start is
// of order 1e-7, so the absolute part must sit far below that).
struct ReferenceTolerance {
    long double absolute = 1e-24L;
    long double relative = 1e-17L;
};

// The reference at one model time, with what the read-outs derive from it,
// all in long double with the run's formulas.
struct ReferenceValues {
    long double modelTime = 0;
    long double elapsedYears = 0; // m_time_init + e^modelTime
    State state;
    long double densityRatio = 0;
    long double q0 = 0;
    long double xi0 = 0;
};

ReferenceValues referenceValuesAt(const ReferenceStart& start, long double modelTime,
                                  const State& state);

// The stopping event of the run, the Hubble-equality epoch: the first model
// time at which (m_time_init + e^t) / (w0 + 2/3) reaches the run's target
// value, located between steps to well below 1e-12 in model time.
// Integrates without keeping the path; nullopt when the event is not reached
// (the solution leaves the finite numbers or the step budget runs out).
std::optional<ReferenceValues> referencePresentDay(const ReferenceStart& start,
                                                   const ReferenceTolerance& tolerance = {});

// A reference solution that can be evaluated at any model time from 0 to
// coveredUntil(): it keeps every accepted step and continues from the
// nearest one before the time asked for with a single step of the same
// method, no longer than the accepted one, so its error stays within the
// tolerance. Integrates up to the stopping event and at least to
// `coverUntil` (for example the run's last sample).
class ReferenceSolution {
public:
    explicit ReferenceSolution(const ReferenceStart& start, long double coverUntil = 0,
                               const ReferenceTolerance& tolerance = {});

    const ReferenceStart& start() const { return m_start; }
    long double coveredUntil() const { return m_checkpoints.back().t; }
    std::size_t stepCount() const { return m_checkpoints.size() - 1; }

    // NaN outside 0 … coveredUntil().
    State stateAt(long double modelTime) const;
    ReferenceValues valuesAt(long double modelTime) const;

    const std::optional<ReferenceValues>& presentDay() const { return m_present_day; }

    struct Checkpoint {
        long double t = 0;
        ReferenceVector x{};
    };

private:
    ReferenceStart m_start;
    std::vector<Checkpoint> m_checkpoints;
    std::optional<ReferenceValues> m_present_day;
};

} // namespace cosmophase

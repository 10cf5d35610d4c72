#pragma once

#include "ReferenceSolution.h"
#include "Simulation.h"

#include <string>
#include <vector>

namespace cosmophase {

constexpr int kMaxCorrectDigits = 17;

// Significant digits that `value` gets right against `reference`:
// floor(-log10(|value - reference| / |reference|)), at most 17 (also when
// they are equal); NaN when either is not a number or the reference is 0.
long double correctDigits(long double value, long double reference);

// One quantity of the run's present day beside the reference's.
struct AccuracyRow {
    std::string quantity;
    double run = 0;
    long double reference = 0;

    long double error() const { return run - reference; }
    long double digits() const { return correctDigits(run, reference); }
};

// The run's last sample, as `summary` and the read-outs show it, against
// the reference at the exact stopping event, in the order model_time,
// elapsed_years, z2, w0, w2, q0, xi0, density_ratio. `run` has been through
// runSimulation().
std::vector<AccuracyRow> accuracyRows(const Simulation& run, const ReferenceValues& presentDay);

// The same against the reference's present day from the run's start; a
// reference that does not reach the event reads as not-a-number.
std::vector<AccuracyRow> accuracyAgainstReference(const Simulation& run);

} // namespace cosmophase

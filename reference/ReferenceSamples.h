#pragma once

#include "ReferenceSolution.h"
#include "Simulation.h"
#include "TimeSeriesColumns.h"

#include <vector>

namespace cosmophase {

// The model time of every sample of `run`'s last forward run, summed in
// extended precision step by step as the run sums its sim time (its step
// lengths and rejections are in the run's statistics), so that the last
// entry equals the run's final sim time. Sample 0 is at model time 0.
std::vector<long double> sampleModelTimes(const Simulation& run);

// The reference at each of those times, rounded to double for plotting and
// writing, in the shape of the run's own columns: `time` is the reference's
// elapsed years there (m_time_init + e^t).
using ReferenceSamples = TimeSeries;

ReferenceSamples referenceAtSamples(const ReferenceSolution& reference,
                                    const std::vector<long double>& modelTimes);

// The reference from `run`'s start at each of its samples; `run` has been
// through runSimulation().
ReferenceSamples referenceAtRunSamples(const Simulation& run);

} // namespace cosmophase

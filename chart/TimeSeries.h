#pragma once

#include "SampleColumns.h"
#include "TimeSeriesColumns.h"

namespace cosmophase {

// The chart's curves: a run's TimeSeries holds for every sample its time in
// years and what the read-outs and the samples export derive from it, with
// the same functions, so the three agree bit for bit.
TimeSeries timeSeriesOf(const SampleColumns& samples);

// |run - reference| / |reference| of q0, xi0 and the density ratio, sample
// by sample, against the run's times; the state members stay empty.
TimeSeries relativeErrorOf(const TimeSeries& run, const TimeSeries& reference);

// Where the time slider stands for a time: its percentage of the run's last
// time, 100 × time / lastTime.
double percentOfRun(double time, double lastTime);

} // namespace cosmophase

#pragma once

#include "SampleColumns.h"

#include <vector>

namespace cosmophase {

// The chart's curves: for every sample its time in years and what the
// read-outs and the samples export derive from it, with the same functions,
// so the three agree bit for bit.
struct TimeSeries {
    std::vector<double> time;
    std::vector<double> q0;
    std::vector<double> xi0;
    std::vector<double> densityRatio;
    std::vector<double> z2;
    std::vector<double> w0;
    std::vector<double> w2;
};

TimeSeries timeSeriesOf(const SampleColumns& samples);

// |run - reference| / |reference| of q0, xi0 and the density ratio, sample
// by sample, against the run's times; the state members stay empty.
TimeSeries relativeErrorOf(const TimeSeries& run, const TimeSeries& reference);

// Where the time slider stands for a time: its percentage of the run's last
// time, 100 × time / lastTime.
double percentOfRun(double time, double lastTime);

} // namespace cosmophase

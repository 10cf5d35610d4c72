#include "TimeSeries.h"

#include "Observables.h"

#include <algorithm>
#include <cmath>

namespace cosmophase {

TimeSeries timeSeriesOf(const SampleColumns& samples)
{
    TimeSeries series;
    series.time = samples.time;
    series.z2 = samples.z2;
    series.w0 = samples.w0;
    series.w2 = samples.w2;
    const std::size_t n = samples.time.size();
    series.q0.reserve(n);
    series.xi0.reserve(n);
    series.densityRatio.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        const PresentDay present = presentDayParameters(samples.z2[k], samples.w0[k], samples.w2[k]);
        series.q0.push_back(present.q0);
        series.xi0.push_back(present.xi0);
        // As the read-out: the stored double widened to extended precision.
        series.densityRatio.push_back(densityRatio(static_cast<long double>(samples.z2[k])));
    }
    return series;
}

TimeSeries relativeErrorOf(const TimeSeries& run, const TimeSeries& reference)
{
    TimeSeries error;
    error.time = run.time;
    const std::size_t n = std::min(run.time.size(), reference.q0.size());
    for (auto member : {&TimeSeries::q0, &TimeSeries::xi0, &TimeSeries::densityRatio}) {
        std::vector<double>& out = error.*member;
        out.reserve(n);
        for (std::size_t k = 0; k < n; ++k)
            out.push_back(std::fabs((run.*member)[k] - (reference.*member)[k]) / std::fabs((reference.*member)[k]));
    }
    error.time.resize(n);
    return error;
}

double percentOfRun(double time, double lastTime)
{
    return 100 * time / lastTime;
}

} // namespace cosmophase

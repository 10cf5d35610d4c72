#include "ReferenceSamples.h"

#include <cstdint>

namespace cosmophase {

std::vector<long double> sampleModelTimes(const Simulation& run)
{
    const RunStats& stats = run.runStats();
    std::vector<long double> times;
    times.reserve(static_cast<std::size_t>(stats.attemptedSteps - stats.rejectedSteps) + 1);
    times.push_back(0);
    long double simTime = 0;
    double tau = 1.0;
    auto change = stats.stepChanges.begin();
    for (std::int32_t step = 1; step <= stats.attemptedSteps; ++step) {
        simTime = simTime + tau;
        const bool changed = change != stats.stepChanges.end() && change->step == step;
        if (changed && change->rejected)
            simTime = simTime - tau;
        else
            times.push_back(simTime);
        if (changed)
            tau = (change++)->tau;
    }
    return times;
}

ReferenceSamples referenceAtSamples(const ReferenceSolution& reference,
                                    const std::vector<long double>& modelTimes)
{
    ReferenceSamples samples;
    for (std::vector<double>* column : {&samples.time, &samples.z2, &samples.w0, &samples.w2,
                                        &samples.densityRatio, &samples.q0, &samples.xi0})
        column->reserve(modelTimes.size());
    for (const long double t : modelTimes) {
        const ReferenceValues values = reference.valuesAt(t);
        samples.time.push_back(static_cast<double>(values.elapsedYears));
        samples.z2.push_back(static_cast<double>(values.state.z2));
        samples.w0.push_back(static_cast<double>(values.state.w0));
        samples.w2.push_back(static_cast<double>(values.state.w2));
        samples.densityRatio.push_back(static_cast<double>(values.densityRatio));
        samples.q0.push_back(static_cast<double>(values.q0));
        samples.xi0.push_back(static_cast<double>(values.xi0));
    }
    return samples;
}

ReferenceSamples referenceAtRunSamples(const Simulation& run)
{
    const std::vector<long double> times = sampleModelTimes(run);
    return referenceAtSamples(ReferenceSolution(ReferenceStart::of(run), times.back()), times);
}

} // namespace cosmophase

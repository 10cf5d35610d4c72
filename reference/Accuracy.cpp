#include "Accuracy.h"

#include "Observables.h"

#include <cmath>
#include <limits>

namespace cosmophase {

long double correctDigits(long double value, long double reference)
{
    if (std::isnan(value) || std::isnan(reference) || reference == 0)
        return std::numeric_limits<long double>::quiet_NaN();
    const long double relative = std::fabs(value - reference) / std::fabs(reference);
    if (relative == 0)
        return kMaxCorrectDigits;
    return std::fmin(std::floor(-std::log10(relative)), kMaxCorrectDigits);
}

std::vector<AccuracyRow> accuracyRows(const Simulation& run, const ReferenceValues& presentDay)
{
    const double z2 = run.getz2Data().back();
    const double w0 = run.getw0Data().back();
    const double w2 = run.getw2Data().back();
    const PresentDay present = presentDayParameters(z2, w0, w2);
    const State& reference = presentDay.state;
    return {
        {"model_time", static_cast<double>(run.simTime()), presentDay.modelTime},
        {"elapsed_years", run.getTimeData().back(), presentDay.elapsedYears},
        {"z2", z2, reference.z2},
        {"w0", w0, reference.w0},
        {"w2", w2, reference.w2},
        {"q0", present.q0, presentDay.q0},
        {"xi0", present.xi0, presentDay.xi0},
        {"density_ratio", densityRatio(z2), presentDay.densityRatio},
    };
}

std::vector<AccuracyRow> accuracyAgainstReference(const Simulation& run)
{
    if (const auto reached = referencePresentDay(ReferenceStart::of(run)))
        return accuracyRows(run, *reached);
    // Written as not-a-number rather than as a made-up event.
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    return accuracyRows(run, {nan, nan, {nan, nan, nan, nan}, nan, nan, nan});
}

} // namespace cosmophase

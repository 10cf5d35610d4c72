#include "Session.h"

namespace cosmophase {

bool operator==(const SessionLayers& a, const SessionLayers& b)
{
    return a.directionField == b.directionField && a.legend == b.legend && a.stableManifold == b.stableManifold &&
           a.unstableManifold == b.unstableManifold && a.familyCurve == b.familyCurve &&
           a.defaultRun == b.defaultRun && a.nullclines == b.nullclines;
}

RunParameters Session::parameters() const
{
    RunParameters parameters;
    if (const ParsedValue<double> parsed = parseAcceleration(q); parsed.value)
        parameters.q = *parsed.value;
    parameters.T = T;
    return parameters;
}

RunParameters SessionPinnedRun::parameters() const
{
    RunParameters parameters;
    if (const ParsedValue<double> parsed = parseAcceleration(q); parsed.value)
        parameters.q = *parsed.value;
    parameters.T = T;
    return parameters;
}

const char* chartTabName(ChartTab tab)
{
    switch (tab) {
    case ChartTab::Observables:
        return "observables";
    case ChartTab::State:
        return "state";
    case ChartTab::Error:
        return "error";
    }
    return "observables";
}

std::string checkMarker(std::size_t marker, std::size_t sampleCount)
{
    if (marker < sampleCount)
        return {};
    return "marker " + std::to_string(marker) + " is beyond the run, whose last sample is " +
           (sampleCount == 0 ? std::string("none") : std::to_string(sampleCount - 1));
}

} // namespace cosmophase

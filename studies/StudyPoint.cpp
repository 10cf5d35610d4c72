#include "StudyPoint.h"

#include "Observables.h"
#include "ReferenceSolution.h"
#include "Simulation.h"

namespace cosmophase::studies {

namespace {

// The last sample as the read-outs and `summary` show it.
PresentDayValues lastSampleValues(Simulation& sim)
{
    sim.computeRedShiftVsLuminosity();
    return {sim.getTimeData().back(), sim.q0(), sim.xi0(),
            densityRatio(static_cast<long double>(sim.getz2Data().back()))};
}

std::optional<PresentDayValues> referenceValues(const Simulation& initialized)
{
    const std::optional<ReferenceValues> present = referencePresentDay(ReferenceStart::of(initialized));
    if (!present)
        return std::nullopt;
    return PresentDayValues{static_cast<double>(present->elapsedYears), static_cast<double>(present->q0),
                            static_cast<double>(present->xi0), static_cast<double>(present->densityRatio)};
}

// One simulation per thread, reused row after row: its sample arrays keep
// their capacity, so a row does not allocate and fault in fresh pages that
// the previous row just gave back. initialize() resets everything a run
// reads, so the results are those of a fresh simulation, bit for bit.
Simulation& threadSimulation(const RunParameters& parameters)
{
    thread_local Simulation sim;
    // A run that spent its step budget near the pole gives its megabytes
    // back; a pool thread may live long after the study.
    constexpr std::size_t kKeptSamples = 1 << 14;
    if (sim.getTimeData().capacity() > kKeptSamples)
        sim = Simulation();
    sim.initialize(parameters);
    return sim;
}

} // namespace

StudyPoint computeStudyPoint(const RunParameters& parameters, bool withReference)
{
    StudyPoint point;
    point.parameters = parameters;
    if (!ParameterDomain::check(parameters).empty()) {
        point.status = RunStatus::Domain;
        return point;
    }
    Simulation& sim = threadSimulation(parameters);
    // The reference starts where the run does, before the run moves on.
    if (withReference)
        point.reference = referenceValues(sim);
    point.status = sim.runSimulationBounded();
    point.samples = sim.getTimeData().size();
    if (point.status == RunStatus::Ok)
        point.run = lastSampleValues(sim);
    return point;
}

std::optional<PresentDayValues> presentDayOf(Integrator integrator, const RunParameters& parameters)
{
    if (!ParameterDomain::check(parameters).empty())
        return std::nullopt;
    Simulation& sim = threadSimulation(parameters);
    if (integrator == Integrator::Reference)
        return referenceValues(sim);
    if (sim.runSimulationBounded() != RunStatus::Ok)
        return std::nullopt;
    return lastSampleValues(sim);
}

} // namespace cosmophase::studies

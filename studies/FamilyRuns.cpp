#include "FamilyRuns.h"

#include "GridSweep.h"
#include "OrderedParallel.h"
#include "Simulation.h"

#include <utility>

namespace cosmophase::studies {

FamilyRun computeFamilyRun(const RunParameters& parameters)
{
    FamilyRun run;
    run.parameters = parameters;
    if (!ParameterDomain::check(parameters).empty()) {
        run.status = RunStatus::Domain;
        return run;
    }
    Simulation simulation;
    simulation.initialize(parameters);
    run.status = simulation.runSimulationBounded();
    run.z2 = simulation.getz2Data();
    run.w0 = simulation.getw0Data();
    return run;
}

bool computeFamily(const ParameterGrid& q, std::int32_t T, unsigned threads,
                   const std::function<bool(std::size_t, FamilyRun&&)>& done)
{
    return computeInOrder<FamilyRun>(
        0, q.size(), threads == 0 ? machineCores() : threads, [&q, T](std::uint64_t row) { return computeFamilyRun({q[row], T}); },
        [&done](std::uint64_t row, FamilyRun&& run) { return done(static_cast<std::size_t>(row), std::move(run)); });
}

} // namespace cosmophase::studies

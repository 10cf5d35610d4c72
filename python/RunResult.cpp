#include "RunResult.h"

#include "Observables.h"

namespace cosmophase::python {

std::unique_ptr<RunResult> RunResult::compute(const RunParameters& parameters, bool withReference)
{
    auto result = std::make_unique<RunResult>();
    result->parameters = parameters;
    Simulation& run = result->simulation;
    run.initialize(parameters);
    result->status = run.runSimulationBounded();

    const std::size_t samples = run.getTimeData().size();
    result->index.resize(samples);
    result->densityRatio.resize(samples);
    result->q0.resize(samples);
    result->xi0.resize(samples);
    for (std::size_t k = 0; k < samples; ++k) {
        const SampleObservables derived =
            sampleObservables(run.getz2Data()[k], run.getw0Data()[k], run.getw2Data()[k]);
        result->index[k] = static_cast<std::int64_t>(k);
        result->densityRatio[k] = derived.densityRatio;
        result->q0[k] = derived.q0;
        result->xi0[k] = derived.xi0;
    }
    // Without a present day there is no stopping time to solve the
    // reference up to.
    if (withReference && result->status == RunStatus::Ok)
        result->reference = referenceAtRunSamples(run);
    return result;
}

} // namespace cosmophase::python

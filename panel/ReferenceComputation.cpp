#include "ReferenceComputation.h"

#include "LatestJobRunner.h"
#include "ReferenceSamples.h"
#include "Simulation.h"


struct ReferenceComputation::Input {
    cosmophase::ReferenceStart start;
    std::vector<long double> modelTimes;
    std::vector<double> z2, w0, w2, time;
};

namespace {

// On the worker thread: touches nothing but its input.
std::shared_ptr<const ReferenceResult> computeReference(const ReferenceComputation::Input& input)
{
    auto result = std::make_shared<ReferenceResult>();
    result->run = cosmophase::timeSeriesOf({input.z2, input.w0, input.w2, input.time});
    const cosmophase::ReferenceSolution solution(input.start, input.modelTimes.back());
    result->reference = cosmophase::referenceAtSamples(solution, input.modelTimes);
    result->presentDay = solution.presentDay();
    return result;
}

} // namespace

ReferenceComputation::ReferenceComputation(QObject* parent)
    : QObject(parent)
    , m_worker(new LatestJobRunner(this))
{
}

void ReferenceComputation::setRun(const cosmophase::Simulation& run)
{
    auto input = std::make_shared<Input>();
    input->start = cosmophase::ReferenceStart::of(run);
    input->modelTimes = cosmophase::sampleModelTimes(run);
    input->z2 = run.getz2Data();
    input->w0 = run.getw0Data();
    input->w2 = run.getw2Data();
    input->time = run.getTimeData();
    m_input = std::move(input);
    ++m_run_number;
    m_result.reset();
    m_requested = false;
    emit started();
}

void ReferenceComputation::compute()
{
    if (!m_input || m_requested)
        return;
    m_requested = true;
    m_worker->submit([input = m_input] { return computeReference(*input); },
                     [this, number = m_run_number](std::shared_ptr<const ReferenceResult> result) {
                         finish(number, std::move(result));
                     });
}

void ReferenceComputation::finish(std::uint64_t runNumber, std::shared_ptr<const ReferenceResult> result)
{
    if (runNumber != m_run_number)
        return;
    m_result = std::move(result);
    emit ready(m_result);
}

#include "ReferenceComputation.h"

#include "ReferenceSamples.h"
#include "Simulation.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

struct ReferenceComputation::Input {
    cosmophase::ReferenceStart start;
    std::vector<long double> modelTimes;
    std::vector<double> z2, w0, w2, time;
};

namespace {

// On a worker thread: touches nothing but its input.
std::shared_ptr<const ReferenceResult> computeReference(const std::shared_ptr<const ReferenceComputation::Input>& input)
{
    auto result = std::make_shared<ReferenceResult>();
    result->run = cosmophase::timeSeriesOf({input->z2, input->w0, input->w2, input->time});
    const cosmophase::ReferenceSolution solution(input->start, input->modelTimes.back());
    cosmophase::ReferenceSamples samples = cosmophase::referenceAtSamples(solution, input->modelTimes);
    cosmophase::TimeSeries& reference = result->reference;
    reference.time.reserve(input->modelTimes.size());
    for (const long double t : input->modelTimes)
        reference.time.push_back(static_cast<double>(input->start.timeInit + std::exp(t)));
    reference.z2 = std::move(samples.z2);
    reference.w0 = std::move(samples.w0);
    reference.w2 = std::move(samples.w2);
    reference.q0 = std::move(samples.q0);
    reference.xi0 = std::move(samples.xi0);
    reference.densityRatio = std::move(samples.densityRatio);
    result->presentDay = solution.presentDay();
    return result;
}

} // namespace

ReferenceComputation::ReferenceComputation(QObject* parent)
    : QObject(parent)
{
}

// A computation still running finishes on the pool, unobserved.
ReferenceComputation::~ReferenceComputation() = default;

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
    m_result.reset();
    delete m_watcher;
    m_watcher = nullptr;
}

void ReferenceComputation::compute()
{
    if (!m_input)
        return;
    // The watcher of a replaced computation goes with its result unread.
    delete m_watcher;
    m_watcher = new QFutureWatcher<std::shared_ptr<const ReferenceResult>>(this);
    auto* watcher = m_watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] { finish(watcher); });
    watcher->setFuture(QtConcurrent::run(&computeReference, m_input));
    emit started();
}

void ReferenceComputation::finish(QFutureWatcher<std::shared_ptr<const ReferenceResult>>* watcher)
{
    m_result = watcher->result();
    m_watcher = nullptr;
    watcher->deleteLater();
    emit ready(m_result);
}

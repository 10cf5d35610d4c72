#include "RunFamily.h"

#include "FamilyRuns.h"
#include "ParameterGrid.h"

#include <QMetaObject>

#include <utility>

RunFamily::RunFamily(QObject* parent)
    : QObject(parent)
{
}

RunFamily::~RunFamily()
{
    stopWorker();
}

void RunFamily::stopWorker()
{
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
    m_stop = false;
    m_finished = true;
}

QString RunFamily::start(const std::string& grid, std::int32_t T)
{
    const cosmophase::studies::GridParse parsed = cosmophase::studies::GridParse::acceleration(grid);
    if (!parsed.grid)
        return QString::fromStdString(parsed.error);
    if (parsed.grid->size() > kMaxRuns)
        return tr("A family holds at most %1 runs; this grid has %2.").arg(kMaxRuns).arg(parsed.grid->size());
    const std::string temperatureError = cosmophase::ParameterDomain::checkTemperature(T);
    if (!temperatureError.empty())
        return QString::fromStdString(temperatureError);

    stopWorker();
    const std::uint64_t generation = ++m_generation;
    const int total = static_cast<int>(parsed.grid->size());
    m_finished = false;
    m_pending_grid = grid;
    m_pending_temperature = T;
    emit progressed(0, total);
    // The destructor joins the worker, and Qt drops calls queued to an
    // object that is gone, so `this` outlives everything below.
    m_worker = std::thread([this, generation, total, grid, T, q = *parsed.grid] {
        std::vector<Member> members;
        members.reserve(q.size());
        const bool complete = cosmophase::studies::computeFamily(
            q, T, 0,
            [&](std::size_t index, cosmophase::studies::FamilyRun&& run) {
                if (m_stop)
                    return false;
                members.push_back({run.parameters, run.status,
                                   std::make_shared<const cosmophase::Curve>(
                                       cosmophase::Curve{std::move(run.z2), std::move(run.w0)})});
                QMetaObject::invokeMethod(this, [this, generation, index, total] {
                    if (m_generation == generation)
                        emit progressed(static_cast<int>(index) + 1, total);
                }, Qt::QueuedConnection);
                return true;
            });
        if (!complete)
            return;
        QMetaObject::invokeMethod(this, [this, generation, members = std::move(members), grid, T]() mutable {
            collect(generation, std::move(members), grid, T);
        }, Qt::QueuedConnection);
    });
    return {};
}

void RunFamily::collect(std::uint64_t generation, std::vector<Member> members, const std::string& grid, std::int32_t T)
{
    if (generation != m_generation)
        return;
    if (m_worker.joinable())
        m_worker.join();
    m_finished = true;
    m_members = std::move(members);
    m_grid = grid;
    m_temperature = T;
    emit changed();
}

void RunFamily::cancel()
{
    if (!isComputing())
        return;
    ++m_generation;
    stopWorker();
    emit cancelled();
}

void RunFamily::clear()
{
    ++m_generation;
    stopWorker();
    m_members.clear();
    m_grid.clear();
    emit changed();
}

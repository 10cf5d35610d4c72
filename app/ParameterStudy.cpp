#include "ParameterStudy.h"

#include <QtConcurrent/QtConcurrentMap>

#include <utility>

ParameterStudy::ParameterStudy(QObject* parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
    // Every core, but only what the rest of the machine leaves: the phase
    // plane's frames come first (on Linux, SCHED_IDLE).
    m_pool.setThreadPriority(QThread::IdlePriority);
}

ParameterStudy::~ParameterStudy()
{
    drop();
    m_pool.waitForDone();
}

void ParameterStudy::start(std::vector<cosmophase::RunParameters> grid)
{
    drop();
    const int total = static_cast<int>(grid.size());
    m_watcher = new QFutureWatcher<cosmophase::studies::StudyPoint>(this);
    connect(m_watcher, &QFutureWatcherBase::progressValueChanged, this,
            [this, total](int done) { emit progressed(done, total); });
    connect(m_watcher, &QFutureWatcherBase::finished, this, &ParameterStudy::collect);
    m_clock.start();
    emit progressed(0, total);
    m_watcher->setFuture(QtConcurrent::mapped(&m_pool, std::move(grid), [](const cosmophase::RunParameters& p) {
        return cosmophase::studies::computeStudyPoint(p, true);
    }));
}

void ParameterStudy::cancel()
{
    if (!m_watcher)
        return;
    drop();
    emit cancelled();
}

void ParameterStudy::drop()
{
    if (!m_watcher)
        return;
    // The points already being computed finish on the pool unseen: this
    // watcher and its queued signals go now.
    m_watcher->disconnect(this);
    m_watcher->cancel();
    std::exchange(m_watcher, nullptr)->deleteLater();
}

void ParameterStudy::collect()
{
    const QFuture<cosmophase::studies::StudyPoint> future = m_watcher->future();
    std::exchange(m_watcher, nullptr)->deleteLater();
    const QList<cosmophase::studies::StudyPoint> results = future.results();
    m_points.assign(results.cbegin(), results.cend());
    m_elapsed_ms = m_clock.elapsed();
    emit finished();
}

#include "LatestJobRunner.h"

#include <QMetaObject>

LatestJobRunner::LatestJobRunner(QObject* parent)
    : QObject(parent)
{
    m_pool.setMaxThreadCount(1);
}

LatestJobRunner::~LatestJobRunner()
{
    m_waiting = nullptr;
    m_pool.waitForDone();
}

void LatestJobRunner::startWaiting()
{
    m_running = true;
    Job job = std::move(m_waiting);
    m_waiting = nullptr;
    m_pool.start([this, job = std::move(job)] {
        std::function<void()> finish = job();
        // The destructor waits for this task, so `this` is alive here; the
        // queued call goes with it if it is deleted first.
        QMetaObject::invokeMethod(
            this,
            [this, finish = std::move(finish)] {
                m_running = false;
                finish();
                if (m_waiting)
                    startWaiting();
            },
            Qt::QueuedConnection);
    });
}

#include "MovieExport.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

MovieExport::MovieExport(QObject* parent)
    : QObject(parent)
    , m_writer(&cosmophase::writeMovie)
{
    m_pool.setMaxThreadCount(1);
    // On Linux SCHED_IDLE, which the writer's own threads inherit.
    m_pool.setThreadPriority(QThread::IdlePriority);
    connect(&m_watcher, &QFutureWatcherBase::finished, this, [this] {
        m_running = false;
        emit finished(m_path, m_watcher.result());
    });
}

MovieExport::~MovieExport()
{
    m_cancel = true;
    m_pool.waitForDone();
}

void MovieExport::start(const cosmophase::MovieRequest& request)
{
    if (m_running)
        return;
    m_running = true;
    m_cancel = false;
    m_path = QFile::decodeName(QByteArray::fromStdString(request.path));
    // Queued to this thread; dropped if this object goes first.
    const cosmophase::MovieProgress progress = [this](int done, int total) {
        QMetaObject::invokeMethod(this, [this, done, total] { emit progressed(done, total); }, Qt::QueuedConnection);
    };
    m_watcher.setFuture(QtConcurrent::run(&m_pool, [writer = m_writer, request, progress, cancel = &m_cancel] {
        return writer(request, progress, cancel);
    }));
}

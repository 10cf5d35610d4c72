#pragma once

#include "MovieWriter.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>

// Writes one movie at a time off the user-interface thread. The writer
// runs at idle priority, and so do the threads it starts, so the phase
// plane keeps its frame rate while frames are drawn and encoded.
class MovieExport : public QObject {
    Q_OBJECT

public:
    using Writer = std::function<cosmophase::MovieResult(const cosmophase::MovieRequest&,
                                                         const cosmophase::MovieProgress&,
                                                         const std::atomic<bool>* cancel)>;

    explicit MovieExport(QObject* parent = nullptr);
    // Cancels a movie under way and waits for its writer to stop.
    ~MovieExport() override;

    // The engine by default; tests put a writer of their own here.
    void setWriter(Writer writer) { m_writer = std::move(writer); }

    bool isRunning() const { return m_running; }
    // Ignored while a movie is being written.
    void start(const cosmophase::MovieRequest& request);
    void cancel() { m_cancel = true; }

signals:
    void progressed(int framesDone, int frameCount);
    // Once per start(), whatever the outcome; `path` is the request's.
    void finished(const QString& path, const cosmophase::MovieResult& result);

private:
    Writer m_writer;
    QThreadPool m_pool;
    QFutureWatcher<cosmophase::MovieResult> m_watcher;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    QString m_path;
};

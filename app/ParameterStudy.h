#pragma once

#include "RunParameters.h"
#include "StudyPoint.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <vector>

// Computes the present day of the run and of the reference at each point of
// a grid on a thread pool of its own, so that the main window's reference
// computation never queues behind a study. Only a computation that ran to
// its end replaces the points kept: a cancelled or superseded one is dropped.
class ParameterStudy : public QObject {
    Q_OBJECT

public:
    explicit ParameterStudy(QObject* parent = nullptr);
    // Cancels what is under way and waits for the points being computed.
    ~ParameterStudy() override;

    // Starts on `grid` (in grid order), dropping any computation under way.
    void start(std::vector<cosmophase::RunParameters> grid);
    // Stops the computation under way, if any, and says so.
    void cancel();
    bool isComputing() const { return m_watcher != nullptr; }

    // The points of the last complete computation, in grid order.
    const std::vector<cosmophase::studies::StudyPoint>& points() const { return m_points; }
    // Its wall-clock time.
    qint64 elapsedMilliseconds() const { return m_elapsed_ms; }

signals:
    void progressed(int done, int total);
    // points() holds the new study.
    void finished();
    void cancelled();

private:
    void collect();
    // Forgets the computation under way without a word.
    void drop();

    QThreadPool m_pool;
    // The computation under way; deleted later, as it may be the sender of
    // the signal being handled.
    QFutureWatcher<cosmophase::studies::StudyPoint>* m_watcher = nullptr;
    std::vector<cosmophase::studies::StudyPoint> m_points;
    QElapsedTimer m_clock;
    qint64 m_elapsed_ms = 0;
};

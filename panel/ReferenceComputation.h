#pragma once

#include "ReferenceSolution.h"
#include "TimeSeries.h"

#include <QObject>

#include <memory>
#include <optional>
#include <vector>

namespace cosmophase {
class Simulation;
}
template <typename T>
class QFutureWatcher;

// The reference solution beside one run, at each of its samples.
struct ReferenceResult {
    // The run as the chart and the read-outs show it.
    cosmophase::TimeSeries run;
    // The reference at each sample's model time; `time` holds the
    // reference's elapsed years there (m_time_init + e^t).
    cosmophase::TimeSeries reference;
    // At the run's stopping event; none when it is never reached.
    std::optional<cosmophase::ReferenceValues> presentDay;
};

// Computes the reference for a run on a worker thread, so that the window
// never waits for it. A newer run replaces an older one: a result that
// arrives for a run that has been replaced is dropped.
class ReferenceComputation : public QObject {
    Q_OBJECT

public:
    // What setRun() takes from the run; read by the worker only.
    struct Input;

    explicit ReferenceComputation(QObject* parent = nullptr);
    ~ReferenceComputation() override;

    // Takes what the reference of `run` (initialized and run) needs: its
    // start, its samples and their model times. Drops any earlier result.
    void setRun(const cosmophase::Simulation& run);
    // Starts computing for the run last set; `ready` follows on this
    // object's thread.
    void compute();

    bool isComputing() const { return m_watcher != nullptr; }
    const std::shared_ptr<const ReferenceResult>& result() const { return m_result; }

signals:
    // compute() has begun: what showed the previous result is out of date.
    void started();
    void ready(std::shared_ptr<const ReferenceResult> result);

private:
    void finish(QFutureWatcher<std::shared_ptr<const ReferenceResult>>* watcher);

    std::shared_ptr<const Input> m_input;
    std::shared_ptr<const ReferenceResult> m_result;
    QFutureWatcher<std::shared_ptr<const ReferenceResult>>* m_watcher = nullptr;
};

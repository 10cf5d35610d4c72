#pragma once

#include "ReferenceSolution.h"
#include "TimeSeries.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

class LatestJobRunner;
namespace cosmophase {
class Simulation;
}

// The reference solution beside one run, at each of its samples.
struct ReferenceResult {
    // The run as the chart and the read-outs show it.
    cosmophase::TimeSeries run;
    // The reference at each sample's model time (referenceAtSamples).
    cosmophase::TimeSeries reference;
    // At the run's stopping event; none when it is never reached.
    std::optional<cosmophase::ReferenceValues> presentDay;
};

// Computes the reference for a run on a worker thread of its own, so that
// the window never waits for it and nothing else on the global pool delays
// it. At most one computation runs (LatestJobRunner), and the result of a
// run that has been replaced is dropped.
class ReferenceComputation : public QObject {
    Q_OBJECT

public:
    // What setRun() takes from the run; read by the worker only.
    struct Input;

    explicit ReferenceComputation(QObject* parent = nullptr);

    // Takes what the reference of `run` (initialized and run) needs: its
    // start, its samples and their model times. The previous result is out
    // of date from here on: `started` says so at once.
    void setRun(const cosmophase::Simulation& run);
    // Computes for the run last set, unless that is already done or under
    // way; `ready` follows on this object's thread.
    void compute();

    // A computation runs or waits for the run last set.
    bool isComputing() const { return m_requested && !m_result; }
    // Of the run last set; null until computed.
    const std::shared_ptr<const ReferenceResult>& result() const { return m_result; }
    // Counts the runs set, so a holder of a result can tell it is current.
    std::uint64_t runNumber() const { return m_run_number; }

signals:
    // A new run is set: what showed the previous result is out of date.
    void started();
    void ready(std::shared_ptr<const ReferenceResult> result);

private:
    void finish(std::uint64_t runNumber, std::shared_ptr<const ReferenceResult> result);

    // A child: it waits for a running computation when this object goes.
    LatestJobRunner* m_worker = nullptr;
    std::shared_ptr<const Input> m_input;
    std::shared_ptr<const ReferenceResult> m_result;
    std::uint64_t m_run_number = 0;
    bool m_requested = false;
};

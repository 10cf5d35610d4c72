#pragma once

#include "DataFormat.h"

#include <QObject>

#include <cstdint>
#include <memory>

class QFormLayout;
class ReferenceComputation;
class ReferenceReadouts;
class TimeSeriesChart;
struct ReferenceResult;
namespace cosmophase {
class Simulation;
}

// The run on screen beside its reference solution: the time-series chart
// and the reference lines under the read-outs. Neither ever shows the
// reference of another run. A new run clears the chart's reference curves
// and turns the lines to "computing…" at once, and its reference is
// computed straight away, off the UI thread. The chart's own curves, far
// slower to refill than the run, follow when refillChart() is called; the
// reference joins them once both belong to the same run.
class RunComparison : public QObject {
    Q_OBJECT

public:
    // `readouts` holds the four read-outs' rows (see ReferenceReadouts).
    RunComparison(TimeSeriesChart& chart, QFormLayout& readouts, QObject* parent = nullptr);

    ReferenceComputation* computation() const { return m_computation; }
    ReferenceReadouts* readouts() const { return m_readouts; }

    // The run now on screen (initialized and run). Its reference is
    // computed at once, or with `deferred` at the next refillChart(), so
    // that start-up's first frame never shares the processor with it.
    void setRun(const cosmophase::Simulation& run, bool deferred = false);
    // The chart's curves from `samples`, the run last set.
    void refillChart(const cosmophase::SampleColumns& samples);

private:
    void referenceReady(const std::shared_ptr<const ReferenceResult>& result);

    TimeSeriesChart& m_chart;
    ReferenceComputation* m_computation = nullptr;
    ReferenceReadouts* m_readouts = nullptr;
    // The run whose samples the chart's curves show; 0 before the first.
    std::uint64_t m_chart_run = 0;
};

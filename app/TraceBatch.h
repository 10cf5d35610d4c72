#pragma once

#include "PlotGeometry.h"
#include "SolutionTrace.h"

#include <QFuture>

#include <vector>

// The traces through many starting points, computed side by side on worker
// threads from construction on, each exactly as alone: a reopened session
// may bring dozens at a few milliseconds each, and its first frame should
// not wait for them one by one. Start it early, take the traces later.
class TraceBatch {
public:
    explicit TraceBatch(const std::vector<cosmophase::plot::Point>& starts);
    ~TraceBatch();
    TraceBatch(const TraceBatch&) = delete;
    TraceBatch& operator=(const TraceBatch&) = delete;

    // Waits for them; in the order of the starts. Once.
    std::vector<cosmophase::SolutionTrace> take();

private:
    // Filled in place by the workers.
    std::vector<cosmophase::SolutionTrace> m_traces;
    QFuture<void> m_done;
};

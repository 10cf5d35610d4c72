#pragma once

#include "PlotGeometry.h"
#include "SolutionTrace.h"

#include <QFuture>
#include <QThreadPool>

#include <vector>

// The traces through many starting points, computed side by side on worker
// threads from construction on, each exactly as alone: a reopened session
// may bring dozens at a few milliseconds each, and its first frame should
// not wait for them one by one. Start it early, take the traces later.
class TraceBatch {
public:
    // AllButOne leaves a core to a thread with other work meanwhile, such as
    // building the window at launch: workers on every core would slow it
    // down by more than they save.
    enum class Cores { All, AllButOne };

    TraceBatch(const std::vector<cosmophase::plot::Point>& starts, Cores cores);
    ~TraceBatch();
    TraceBatch(const TraceBatch&) = delete;
    TraceBatch& operator=(const TraceBatch&) = delete;

    // Waits for them; in the order of the starts. Once.
    std::vector<cosmophase::SolutionTrace> take();

private:
    QThreadPool m_pool;
    // Filled in place by the workers.
    std::vector<cosmophase::SolutionTrace> m_traces;
    QFuture<void> m_done;
};

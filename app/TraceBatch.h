#pragma once

#include "PlotGeometry.h"
#include "SolutionTrace.h"

#include <QThreadPool>

#include <atomic>
#include <cstddef>
#include <vector>

// The traces through many starting points, computed side by side on worker
// threads from construction on, each exactly as alone: a reopened session
// may bring dozens at a few milliseconds each, and its first frame should
// not wait for them one by one. Start it early, take the traces later; the
// thread that takes them computes what is left alongside the workers.
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

    // In the order of the starts. Once.
    std::vector<cosmophase::SolutionTrace> take();

private:
    // Computes traces not yet claimed until none is left.
    void work();

    // Filled in place, each by the thread that claimed it.
    std::vector<cosmophase::SolutionTrace> m_traces;
    std::atomic<std::size_t> m_next{0};
    // Last: destroyed first, waiting for its workers.
    QThreadPool m_pool;
};

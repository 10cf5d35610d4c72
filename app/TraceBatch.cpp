#include "TraceBatch.h"

#include <QThread>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <utility>

TraceBatch::TraceBatch(const std::vector<cosmophase::plot::Point>& starts, Cores cores)
{
    const int all = QThread::idealThreadCount();
    m_pool.setMaxThreadCount(cores == Cores::All ? all : std::max(1, all - 1));
    m_traces.reserve(starts.size());
    for (const cosmophase::plot::Point& start : starts)
        m_traces.push_back({start.x, start.y, {}, {}});
    m_done = QtConcurrent::map(&m_pool, m_traces, [](cosmophase::SolutionTrace& trace) {
        trace = cosmophase::traceThrough(trace.z2, trace.w0);
    });
}

TraceBatch::~TraceBatch()
{
    m_done.waitForFinished();
}

std::vector<cosmophase::SolutionTrace> TraceBatch::take()
{
    m_done.waitForFinished();
    return std::move(m_traces);
}

#include "TraceBatch.h"

#include <QtConcurrent/QtConcurrentMap>

#include <utility>

TraceBatch::TraceBatch(const std::vector<cosmophase::plot::Point>& starts)
{
    m_traces.reserve(starts.size());
    for (const cosmophase::plot::Point& start : starts)
        m_traces.push_back({start.x, start.y, {}, {}});
    m_done = QtConcurrent::map(m_traces, [](cosmophase::SolutionTrace& trace) {
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

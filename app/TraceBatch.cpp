#include "TraceBatch.h"

#include <QThread>

#include <algorithm>
#include <utility>

TraceBatch::TraceBatch(const std::vector<cosmophase::plot::Point>& starts, Cores cores)
{
    m_traces.reserve(starts.size());
    for (const cosmophase::plot::Point& start : starts)
        m_traces.push_back({start.x, start.y, {}, {}});
    const int all = QThread::idealThreadCount();
    const int workers = std::min(cores == Cores::All ? all : std::max(1, all - 1), static_cast<int>(starts.size()));
    m_pool.setMaxThreadCount(std::max(workers, 1));
    for (int i = 0; i < workers; ++i)
        m_pool.start([this] { work(); });
}

TraceBatch::~TraceBatch()
{
    m_pool.waitForDone();
}

void TraceBatch::work()
{
    for (std::size_t i = m_next++; i < m_traces.size(); i = m_next++)
        m_traces[i] = cosmophase::traceThrough(m_traces[i].z2, m_traces[i].w0);
}

std::vector<cosmophase::SolutionTrace> TraceBatch::take()
{
    work();
    m_pool.waitForDone();
    return std::move(m_traces);
}

#include "PhasePlaneTraces.h"

#include <utility>

namespace cosmophase {

void PhasePlaneTraces::add(SolutionTrace trace)
{
    m_cleared.clear();
    if (m_traces.size() >= kMaxTraces)
        m_traces.erase(m_traces.begin(), m_traces.end() - (kMaxTraces - 1));
    m_traces.push_back(std::move(trace));
}

bool PhasePlaneTraces::undoNewest()
{
    if (!m_cleared.empty()) {
        m_traces = std::move(m_cleared);
        m_cleared.clear();
        return true;
    }
    if (m_traces.empty())
        return false;
    m_traces.pop_back();
    return true;
}

void PhasePlaneTraces::clear()
{
    if (m_traces.empty())
        return;
    m_cleared = std::move(m_traces);
    m_traces.clear();
}

} // namespace cosmophase

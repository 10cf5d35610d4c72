#include "PhasePlaneTraces.h"

#include <utility>

namespace cosmophase {

void PhasePlaneTraces::add(SolutionTrace trace)
{
    if (m_traces.size() >= kMaxTraces)
        m_traces.erase(m_traces.begin(), m_traces.end() - (kMaxTraces - 1));
    m_traces.push_back(std::move(trace));
}

bool PhasePlaneTraces::undoNewest()
{
    if (m_traces.empty())
        return false;
    m_traces.pop_back();
    return true;
}

} // namespace cosmophase

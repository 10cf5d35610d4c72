#include "PhasePlaneTraces.h"

#include <utility>

namespace cosmophase {

void PhasePlaneTraces::add(SolutionTrace trace)
{
    m_redo.clear();
    append(std::move(trace));
}

void PhasePlaneTraces::append(SolutionTrace trace)
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
        m_redo.emplace_back();
        return true;
    }
    if (m_traces.empty())
        return false;
    m_redo.emplace_back(std::move(m_traces.back()));
    m_traces.pop_back();
    return true;
}

bool PhasePlaneTraces::redo()
{
    if (m_redo.empty())
        return false;
    std::optional<SolutionTrace> edit = std::move(m_redo.back());
    m_redo.pop_back();
    if (edit)
        append(std::move(*edit));
    else
        clearKeepingRedo();
    return true;
}

void PhasePlaneTraces::clear()
{
    if (m_traces.empty())
        return;
    m_redo.clear();
    clearKeepingRedo();
}

void PhasePlaneTraces::clearKeepingRedo()
{
    m_cleared = std::move(m_traces);
    m_traces.clear();
}

} // namespace cosmophase

#include "PhasePlaneTraces.h"

#include <utility>

namespace cosmophase {

PhasePlaneTraces::List& PhasePlaneTraces::edit()
{
    if (m_traces.use_count() > 1)
        m_traces = std::make_shared<List>(*m_traces);
    return *m_traces;
}

void PhasePlaneTraces::add(SolutionTrace trace)
{
    m_redo.clear();
    append(std::move(trace));
}

void PhasePlaneTraces::append(SolutionTrace trace)
{
    m_cleared.reset();
    List& traces = edit();
    if (traces.size() >= kMaxTraces)
        traces.erase(traces.begin(), traces.end() - (kMaxTraces - 1));
    traces.push_back(std::move(trace));
}

bool PhasePlaneTraces::undoNewest()
{
    if (undoRestoresCleared()) {
        m_traces = std::exchange(m_cleared, nullptr);
        m_redo.emplace_back();
        return true;
    }
    if (empty())
        return false;
    List& traces = edit();
    m_redo.emplace_back(std::move(traces.back()));
    traces.pop_back();
    return true;
}

bool PhasePlaneTraces::redo()
{
    if (m_redo.empty())
        return false;
    std::optional<SolutionTrace> undone = std::move(m_redo.back());
    m_redo.pop_back();
    if (undone)
        append(std::move(*undone));
    else
        clearKeepingRedo();
    return true;
}

void PhasePlaneTraces::clear()
{
    if (empty())
        return;
    m_redo.clear();
    clearKeepingRedo();
}

void PhasePlaneTraces::clearKeepingRedo()
{
    m_cleared = std::exchange(m_traces, std::make_shared<List>());
}

} // namespace cosmophase

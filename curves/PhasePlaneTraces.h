#pragma once

#include "SolutionTrace.h"

#include <cstddef>
#include <vector>

namespace cosmophase {

// The solution curves the user has traced, oldest first. Bounded, so that
// clicking on for hours neither grows memory nor slows the frame without end.
class PhasePlaneTraces {
public:
    static constexpr std::size_t kMaxTraces = 100;

    // Beyond kMaxTraces the oldest trace is dropped.
    void add(SolutionTrace trace);
    // Removes the newest trace or, straight after clear(), brings back
    // every trace it removed; false when there was nothing to undo.
    bool undoNewest();
    void clear();
    bool canUndo() const { return !m_traces.empty() || !m_cleared.empty(); }

    const std::vector<SolutionTrace>& traces() const { return m_traces; }
    std::size_t size() const { return m_traces.size(); }
    bool empty() const { return m_traces.empty(); }

private:
    std::vector<SolutionTrace> m_traces;
    // What the last clear() removed, until the next change.
    std::vector<SolutionTrace> m_cleared;
};

} // namespace cosmophase

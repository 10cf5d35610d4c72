#pragma once

#include "SolutionTrace.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace cosmophase {

// The solution curves the user has traced, oldest first. Bounded, so that
// clicking on for hours neither grows memory nor slows the frame without end.
// Edits can be undone newest first and redone until the next new trace or
// clear.
class PhasePlaneTraces {
public:
    static constexpr std::size_t kMaxTraces = 100;

    // Beyond kMaxTraces the oldest trace is dropped (and stays dropped).
    void add(SolutionTrace trace);
    // Removes the newest trace or, straight after clear(), brings back
    // every trace it removed; false when there was nothing to undo.
    bool undoNewest();
    // Does again what the last undo undid; false when there is nothing.
    bool redo();
    void clear();
    bool canUndo() const { return !m_traces.empty() || !m_cleared.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // What undo and redo would do: bring back or clear all, or one trace.
    bool undoRestoresCleared() const { return !m_cleared.empty(); }
    bool redoClears() const { return !m_redo.empty() && !m_redo.back().has_value(); }

    const std::vector<SolutionTrace>& traces() const { return m_traces; }
    std::size_t size() const { return m_traces.size(); }
    bool empty() const { return m_traces.empty(); }

private:
    void append(SolutionTrace trace);
    void clearKeepingRedo();

    std::vector<SolutionTrace> m_traces;
    // What the last clear() removed, until the next change.
    std::vector<SolutionTrace> m_cleared;
    // Undone edits, newest last: a trace to add again, or none for a clear.
    std::vector<std::optional<SolutionTrace>> m_redo;
};

} // namespace cosmophase

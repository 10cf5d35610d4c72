#pragma once

#include "SolutionTrace.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace cosmophase {

// The solution curves the user has traced, oldest first. Bounded, so that
// clicking on for hours neither grows memory nor slows the frame without end.
// Edits can be undone newest first and redone until the next new trace or
// clear. The list is shared, not copied, with whoever draws it: an edit
// copies it only while it is shared, so that a snapshot handed out never
// changes and fifty reopened traces are never copied at all.
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
    bool canUndo() const { return !empty() || undoRestoresCleared(); }
    bool canRedo() const { return !m_redo.empty(); }
    // What undo and redo would do: bring back or clear all, or one trace.
    bool undoRestoresCleared() const { return m_cleared && !m_cleared->empty(); }
    bool redoClears() const { return !m_redo.empty() && !m_redo.back().has_value(); }

    const std::vector<SolutionTrace>& traces() const { return *m_traces; }
    // The traces as they are now, unchanged by later edits.
    std::shared_ptr<const std::vector<SolutionTrace>> snapshot() const { return m_traces; }
    std::size_t size() const { return m_traces->size(); }
    bool empty() const { return m_traces->empty(); }

private:
    using List = std::vector<SolutionTrace>;

    // The list to change, copied first while a snapshot shares it.
    List& edit();
    void append(SolutionTrace trace);
    void clearKeepingRedo();

    std::shared_ptr<List> m_traces = std::make_shared<List>();
    // What the last clear() removed, until the next change; null for none.
    std::shared_ptr<List> m_cleared;
    // Undone edits, newest last: a trace to add again, or none for a clear.
    std::vector<std::optional<SolutionTrace>> m_redo;
};

} // namespace cosmophase

#include "ScriptedEdits.h"

#include "SessionState.h"

ScriptedEdits::ScriptedEdits(SessionState& state, int periodMs, QObject* parent)
    : QObject(parent)
    , m_state(state)
{
    connect(&m_timer, &QTimer::timeout, this, [this] { m_state.apply(ScriptedEdits::state(++m_edits)); });
    m_timer.start(periodMs);
}

cosmophase::Session ScriptedEdits::state(int edit)
{
    cosmophase::Session session;
    // Never the start-up state: the window counts that as saved and removes
    // its autosave, which would leave a kill nothing to recover.
    const int step = 1 + edit % kDistinctStates;
    // Traces, a zoom, a marker and a switch: each a part the file keeps.
    for (int i = 0; i < step; ++i)
        session.traces.push_back({-1.5 + 0.125 * i, 0.75 - 0.0625 * i});
    session.view.halfSide = 2 - 0.0625 * step;
    session.marker = static_cast<std::size_t>(step * 7);
    session.layers.legend = step % 2 == 1;
    return session;
}

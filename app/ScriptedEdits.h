#pragma once

#include "Session.h"

#include <QObject>
#include <QTimer>

class SessionState;

// For tests only: a steady stream of edits to the window, each one a known
// session, so that a test that kills the application can tell whether what
// it left behind is one of the states it went through. Started by the
// environment variable COSMOPHASE_SCRIPTED_EDITS_MS (the period).
class ScriptedEdits : public QObject {
    Q_OBJECT

public:
    // Edits after the first repeat earlier states.
    static constexpr int kDistinctStates = 24;

    ScriptedEdits(SessionState& state, int periodMs, QObject* parent = nullptr);

    // The state after `edit` edits; never the start-up state.
    static cosmophase::Session state(int edit);

private:
    SessionState& m_state;
    QTimer m_timer;
    int m_edits = 0;
};

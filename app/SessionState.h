#pragma once

#include "PlotGeometry.h"
#include "Session.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class MasterViewController;
class ParameterRuns;
class PhasePlaneInteraction;
class QAction;
class RunsInPlane;
class StudyGridForm;
namespace cosmophase {
struct RunParameters;
}

// The main window's state as a session: what capture() reads is what
// apply() sets, so that applying a captured session shows the same window.
//
// Applying a session at other parameters replaces the run through
// ParameterRuns, which may finish it on a worker thread; the marker, view,
// layers and traces follow only once that run is on screen, so a marker is
// never placed on another run. Until then capture() still describes the
// window as shown. A session whose run is refused, or whose marker lies
// beyond its run, is not applied: applyFailed() says why in one line and
// the window is as it was. So does one overtaken by another run asked for
// before its own was shown.
class SessionState : public QObject {
    Q_OBJECT

public:
    // The window's parts a session reads and sets; all outlive this.
    struct Parts {
        MasterViewController& controller;
        ParameterRuns& runs;
        PhasePlaneInteraction& interaction;
        QAction& directionField;
        QAction& legend;
        QAction& defaultRun;
    };

    explicit SessionState(const Parts& parts, QObject* parent = nullptr);

    cosmophase::Session capture() const;
    // Shows `session`; applied() or applyFailed() follows, at once when the
    // run needs no worker thread.
    void apply(const cosmophase::Session& session);
    // A session is waiting for its run.
    bool isApplying() const { return m_pending.has_value(); }
    // Where the session's traces start; traces the window shows already
    // from these very points are kept as they are when it is applied.
    static std::vector<cosmophase::plot::Point> traceStarts(const cosmophase::Session& session);

    // The study window's grid, once it exists: it shows the session's grid
    // and is read from then on. Before, the last applied grid is kept.
    void attachStudyGrid(StudyGridForm& form);
    // The pinned runs and the family of runs.
    void attachRuns(RunsInPlane& runs);

signals:
    // Whenever something capture() reads may have changed.
    void changed();
    void applied();
    void applyFailed(const QString& reason);

private:
    void runShown(const cosmophase::RunParameters& parameters);
    void runRefused(const cosmophase::RunParameters& parameters, const QString& reason);
    // Another run was asked for first: the user's edit wins.
    void abandonPending();
    // Everything but the run, which is on screen already.
    void finishApply(const cosmophase::Session& session);
    void setCurveSwitch(QAction& action, bool on);

    Parts m_parts;
    std::optional<cosmophase::Session> m_pending;
    // What the window showed before the pending session, to go back to
    // when its marker does not fit its run.
    std::optional<cosmophase::Session> m_before_pending;
    // The pending session is that step back: shown, it is no session applied.
    bool m_reverting = false;
    StudyGridForm* m_study_grid = nullptr;
    RunsInPlane* m_runs_in_plane = nullptr;
    std::string m_kept_study_grid = cosmophase::Session::kDefaultStudyGrid;
};

#pragma once

#include "AtomicWrite.h"
#include "CurveSet.h"
#include "FrameContent.h"
#include "PhasePlaneFigure.h"
#include "RunCurves.h"
#include "Session.h"

#include <QFont>
#include <QString>

#include <optional>
#include <string>

namespace cosmophase {

// The phase plane as a session shows it (its view, layers, traces and
// marker, pinned runs and family) for a plot of `side` pixels, built once: a figure of it, or a
// movie's frames with the marker anywhere on the run. `trajectory` is the
// session's run, computed by the caller, whose marker the caller has
// checked against it.
class SessionScene {
public:
    SessionScene(const Session& session, const Curve& trajectory, int side, const QFont& font);
    SessionScene(const SessionScene&) = delete;
    SessionScene& operator=(const SessionScene&) = delete;

    const PhasePlaneFigure& figure() const { return *m_figure; }
    // The title a saved figure or movie carries: the subject, q and T.
    const QString& title() const { return m_title; }

private:
    plot::FrameContent m_content;
    plot::RunCurves m_runs;
    std::optional<PhasePlaneFigure> m_figure;
    QString m_title;
};

// The session's pinned runs and family, computed afresh from their
// parameters (bit for bit the window's), not yet laid out.
plot::RunCurves sessionRunCurves(const Session& session);

// The scene's figure, written to `path` in the format of its extension. A
// session that only sets q and T draws what saveStartupFigure draws for them.
// A `record` (sessionRecordText) is embedded in the file.
WriteResult saveSessionFigure(const QString& path, int side, const Session& session, const Curve& trajectory,
                              const std::string& record = {});

} // namespace cosmophase

#pragma once

#include "AtomicWrite.h"
#include "CurveSet.h"
#include "RunCurves.h"
#include "Session.h"

#include <QString>

namespace cosmophase {

// The phase plane as a session shows it (its view, layers, traces and
// marker), for a plot of `side` pixels, written to `path` in the format of
// its extension. `trajectory` is the session's run, computed by the caller,
// whose marker the caller has checked against it. A session that only sets
// q and T draws what saveStartupFigure draws for them; pinned runs and a
// family are drawn as the window draws them.
// The session's pinned runs and family, computed afresh from their
// parameters (bit for bit the window's), not yet laid out.
plot::RunCurves sessionRunCurves(const Session& session);

WriteResult saveSessionFigure(const QString& path, int side, const Session& session, const Curve& trajectory);

} // namespace cosmophase

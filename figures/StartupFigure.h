#pragma once

#include "AtomicWrite.h"
#include "CurveSet.h"
#include "RunParameters.h"

#include <QString>

#include <string>

namespace cosmophase {

// A figure's title: `subject`, followed by q and T when they are not the
// defaults, so that a saved figure says which run it shows.
QString figureTitle(const QString& subject, const RunParameters& parameters);

// The picture the window opens with (every curve shown, the marker at
// sample 0, the axes; no traces, no nullclines) for a plot of `side`
// pixels, written to `path` in the format of its extension. Builds its own
// curve set and needs no OpenGL, only a QGuiApplication for the fonts.
// A `record` (sessionRecordText) is embedded in the file.
WriteResult saveStartupFigure(const QString& path, int side, const std::string& record = {});
// The same for a run at other parameters, whose trajectory is given: as the
// window opens with them, the default run's trajectory shows as a faint
// curve behind it, and the figure's title names q and T.
WriteResult saveStartupFigure(const QString& path, int side, const RunParameters& parameters,
                              const Curve& trajectory, const std::string& record = {});

} // namespace cosmophase

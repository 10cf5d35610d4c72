#pragma once

#include "AtomicWrite.h"

#include <QString>

namespace cosmophase {

// The picture the window opens with (every curve shown, the marker at
// sample 0, the axes; no traces, no nullclines) for a plot of `side`
// pixels, written to `path` in the format of its extension. Builds its own
// curve set and needs no OpenGL, only a QGuiApplication for the fonts.
WriteResult saveStartupFigure(const QString& path, int side);

} // namespace cosmophase

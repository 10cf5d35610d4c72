#pragma once

#include "Session.h"

class LegendOverlay;
class MasterViewController;
class QAction;
namespace cosmophase {
class PhasePlaneTraces;
}

// The session of what the window's plot shows now: its run, view, layers,
// legend, traces and marker, as a value that a worker thread can draw from
// while the window goes on. `defaultRun` is View > Default Run.
cosmophase::Session shownSession(const MasterViewController& controller, const cosmophase::PhasePlaneTraces& traces,
                                 const LegendOverlay& legend, const QAction& defaultRun);

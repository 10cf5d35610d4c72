#include "ShownSession.h"

#include "FrameContent.h"
#include "LegendOverlay.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "PhasePlaneTraces.h"
#include "PlotWindow.h"
#include "RunReplacement.h"

#include <QAction>

#include <algorithm>

cosmophase::Session shownSession(const MasterViewController& controller, const cosmophase::PhasePlaneTraces& traces,
                                 const LegendOverlay& legend, const QAction& defaultRun)
{
    const MyOpenGLView& view = *controller.openGLView();
    const cosmophase::RunParameters& parameters = controller.additions().runs().parameters();
    cosmophase::Session session;
    session.q = cosmophase::accelerationText(parameters.q);
    session.T = parameters.T;
    session.marker = static_cast<std::size_t>(std::max(controller.simIndex(), 0));
    const cosmophase::plot::PlotWindow& window = view.plotWindow();
    session.view = {window.centre().x, window.centre().y, window.halfSide()};
    cosmophase::SessionLayers& layers = session.layers;
    layers.directionField = view.showDirectionField();
    layers.legend = legend.isShownOnPlot();
    layers.stableManifold = view.showStableManifold();
    layers.unstableManifold = view.showUnstableManifold();
    layers.familyCurve = view.showFamilyCurve();
    layers.defaultRun = defaultRun.isChecked();
    layers.nullclines = view.showNullclines();
    for (const cosmophase::SolutionTrace& trace : traces.traces())
        session.traces.push_back({trace.z2, trace.w0});
    return session;
}

#include "SessionFigure.h"

#include "FigureWriter.h"
#include "PlotWindow.h"
#include "SolutionTrace.h"
#include "StartupFigure.h"
#include "WindowedContent.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>

namespace cosmophase {

SessionScene::SessionScene(const Session& session, const Curve& trajectory, int side, const QFont& font)
{
    const RunParameters parameters = session.parameters();
    CurveSet curves;
    curves.initialize();
    plot::FrameContent content;
    content.setCurves(curves);
    const SessionLayers& layers = session.layers;
    content.setVisibility({layers.familyCurve, layers.unstableManifold, layers.stableManifold});
    content.setShowDirectionField(layers.directionField);
    content.setShowNullclines(layers.nullclines);
    if (!parameters.isDefault()) {
        content.setTrajectory(trajectory);
        content.setShowDefaultTrajectory(layers.defaultRun);
        // The window cuts a zoomed frame from the set's trajectory.
        curves.setTrajectory(trajectory);
    }
    const std::size_t marker = std::min(session.marker, trajectory.x.size() - 1);
    content.setMarker({trajectory.x[marker], trajectory.y[marker]});
    std::vector<SolutionTrace> traces;
    for (const SessionTrace& start : session.traces)
        traces.push_back(traceThrough(start.z2, start.w0));
    content.setTraces(traces);

    const plot::PlotWindow window =
        plot::PlotWindow::centredAt({session.view.z2, session.view.w0}, session.view.halfSide);
    if (window.isFull()) {
        m_content = std::move(content);
    } else {
        plot::WindowedContent windowed;
        windowed.rebuild(content, curves, traces, window);
        m_content = windowed.content(content);
    }
    m_figure.emplace(m_content, side, font, window, layers.legend);
    m_title = figureTitle(QStringLiteral("Cosmophase phase plane"), parameters);
}

WriteResult saveSessionFigure(const QString& path, int side, const Session& session, const Curve& trajectory)
{
    const SessionScene scene(session, trajectory, side, QGuiApplication::font());
    const PhasePlaneFigure& figure = scene.figure();
    return writeFigure(path, figure.size(), [&figure](QPainter& painter) { figure.paint(painter); }, scene.title());
}

} // namespace cosmophase

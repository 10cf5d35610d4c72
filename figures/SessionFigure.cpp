#include "SessionFigure.h"

#include "FamilyRuns.h"
#include "FigureWriter.h"
#include "PlotWindow.h"
#include "SolutionTrace.h"
#include "StartupFigure.h"
#include "WindowedContent.h"

#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <memory>
#include <string>

namespace cosmophase {

namespace {

plot::Colour colourOf(const std::string& hex, std::size_t index)
{
    if (hex.size() != 7)
        return plot::pinnedRunColour(index);
    const auto channel = [&hex](std::size_t at) {
        return static_cast<float>(std::stoi(hex.substr(at, 2), nullptr, 16)) / 255.0f;
    };
    return {channel(1), channel(3), channel(5)};
}

std::shared_ptr<const Curve> curveOf(studies::FamilyRun&& run)
{
    return std::make_shared<const Curve>(Curve{std::move(run.z2), std::move(run.w0)});
}

} // namespace

plot::RunCurves sessionRunCurves(const Session& session)
{
    plot::RunCurves runs;
    for (std::size_t i = 0; i < session.pinnedRuns.size(); ++i) {
        const SessionPinnedRun& pinned = session.pinnedRuns[i];
        const RunParameters parameters = pinned.parameters();
        runs.pinned.push_back({plot::runLabel(parameters.q, parameters.T), colourOf(pinned.colour, i), pinned.shown,
                               parameters.q, curveOf(studies::computeFamilyRun(parameters)), {}});
    }
    if (!session.family)
        return runs;
    const studies::GridParse grid = studies::GridParse::acceleration(session.family->q);
    if (!grid.grid)
        return runs;
    std::vector<double> qs;
    for (std::size_t i = 0; i < grid.grid->size(); ++i)
        qs.push_back((*grid.grid)[i]);
    plot::FamilyScale scale = plot::familyScaleOf(qs);
    scale.title = "q = " + session.family->q + ", T = " + std::to_string(session.family->T);
    studies::computeFamily(*grid.grid, session.family->T, 0,
                           [&](std::size_t, studies::FamilyRun&& run) {
                               const double q = run.parameters.q;
                               runs.family.push_back({plot::runLabel(q, run.parameters.T),
                                                      plot::familyColour(plot::familyPosition(q, scale)), true, q,
                                                      curveOf(std::move(run)), {}});
                               return true;
                           });
    runs.scale = scale;
    return runs;
}

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
    m_runs = sessionRunCurves(session);
    m_runs.layOut(window);
    m_figure.emplace(m_content, side, font, window, layers.legend, &m_runs);
    m_title = figureTitle(QStringLiteral("Cosmophase phase plane"), parameters);
}

WriteResult saveSessionFigure(const QString& path, int side, const Session& session, const Curve& trajectory,
                              const std::string& record)
{
    const SessionScene scene(session, trajectory, side, QGuiApplication::font());
    const PhasePlaneFigure& figure = scene.figure();
    return writeFigure(path, figure.size(), [&figure](QPainter& painter) { figure.paint(painter); }, scene.title(),
                       record);
}

} // namespace cosmophase

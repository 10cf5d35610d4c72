#include "FrameContent.h"

#include "Nullclines.h"

#include <cmath>

namespace cosmophase::plot {

namespace {

constexpr float kCurveWidth = 2;
constexpr float kTraceWidth = 1;
constexpr float kTraceStartSize = 5;

} // namespace

FrameContent::FrameContent()
{
    m_layers[Equilibria].style = {{1, 0, 0}};
    m_layers[Equilibria].diskRadius = kDotRadius;
    m_layers[Equilibria].disks.assign(kEquilibria.begin(), kEquilibria.end());

    m_layers[Marker].style = {{0, 0, 1}};
    m_layers[Marker].diskRadius = kMarkerRadius;
    m_layers[Marker].disks = {Point{}};

    // Vertical lines run upwards and horizontal ones rightwards, so that
    // each starts its stipple pattern at the bottom or left edge.
    Layer& grid = m_layers[Grid];
    grid.style = {{0.7f, 0.7f, 0.7f}, 1, 0, kGridStipple, kGridStippleFactor};
    const std::vector<double> lines = gridLines();
    for (double v : lines)
        grid.lines.insert(grid.lines.end(), {{v, -2}, {v, 2}});
    for (double v : lines)
        grid.lines.insert(grid.lines.end(), {{-2, v}, {2, v}});

    m_layers[Trajectory].style = {{0, 0, 1}, kCurveWidth};
    m_layers[Family].style = {{1, 1, 0}, kCurveWidth};
    m_layers[Unstable].style = {{0, 1, 1}, kCurveWidth};
    m_layers[Stable].style = {{0, 0.5f, 0}, kCurveWidth};
    for (LayerId id : {Family, Unstable, Stable})
        m_layers[id].shown = false;

    m_layers[Traces].style = {{1, 0, 1}, kTraceWidth, kTraceStartSize};
    m_layers[Traces].shown = false;

    const std::array<std::vector<Point>, 2> z2 = z2Nullclines();
    m_layers[Z2Nullclines].style = {{1, 0.5f, 0}, kCurveWidth};
    m_layers[Z2Nullclines].strips.assign(z2.begin(), z2.end());
    m_layers[Z2Nullclines].shown = false;
    m_layers[W0Nullcline].style = {{0.5f, 0, 0.5f}, kCurveWidth};
    m_layers[W0Nullcline].strips = {w0Nullcline()};
    m_layers[W0Nullcline].shown = false;

    // Under the run's own trajectory, over the manifolds it mostly follows.
    m_layers[DefaultTrajectory].style = {{0.6f, 0.6f, 0.6f}, kCurveWidth};
    m_layers[DefaultTrajectory].shown = false;

    m_layers[DirectionField].style = {{0, 1, 0}, kCurveWidth, kArrowHeadSize};
}

void FrameContent::setCurves(const CurveSet& curves)
{
    setTrajectory(curves.trajectory());
    m_layers[DefaultTrajectory].strips = m_layers[Trajectory].strips;
    m_layers[Family].strips = {thinnedVertices(curves.family(), kCurveStride)};
    m_layers[Unstable].strips = {thinnedVertices(curves.unstableLeave(), kCurveStride),
                                 thinnedVertices(curves.unstableRest(), kCurveStride)};
    m_layers[Stable].strips = {thinnedVertices(curves.stableLeave(), kCurveStride),
                               thinnedVertices(curves.stableRest(), kCurveStride)};
    m_layers[DirectionField].arrows = directionField(curves.simulation());
}

void FrameContent::setTrajectory(const Curve& trajectory)
{
    m_layers[Trajectory].strips = {thinnedVertices(trajectory, kTrajectoryStride)};
}

void FrameContent::setShowDefaultTrajectory(bool show)
{
    m_layers[DefaultTrajectory].shown = show;
}

void FrameContent::setMarker(Point marker)
{
    m_layers[Marker].disks.front() = marker;
}

void FrameContent::setVisibility(const CurveVisibility& visibility)
{
    m_layers[Family].shown = visibility.family;
    m_layers[Unstable].shown = visibility.unstable;
    m_layers[Stable].shown = visibility.stable;
}

void FrameContent::setTraces(const std::vector<SolutionTrace>& traces)
{
    Layer& layer = m_layers[Traces];
    layer.points.clear();
    layer.strips.clear();
    layer.triangles.clear();
    m_trace_headings.clear();
    for (const SolutionTrace& trace : traces) {
        layer.points.push_back({trace.z2, trace.w0});
        layer.strips.push_back(thinnedVertices(trace.forward, kCurveStride));
        layer.strips.push_back(thinnedVertices(trace.backward, kCurveStride));
        m_trace_headings.push_back(forwardHeading(trace.forward));
        if (const std::optional<Heading>& heading = m_trace_headings.back()) {
            const std::vector<Point> head = arrowheadAt(*heading, kTraceArrowLength);
            layer.triangles.insert(layer.triangles.end(), head.begin(), head.end());
        }
    }
    layer.shown = !traces.empty();
}

void FrameContent::setShowNullclines(bool show)
{
    m_layers[Z2Nullclines].shown = show;
    m_layers[W0Nullcline].shown = show;
}

const char* FrameContent::layerName(LayerId id)
{
    switch (id) {
    case Equilibria: return "Equilibria";
    case Marker: return "Marker";
    case Grid: return "";
    case Trajectory: return "Trajectory";
    case DefaultTrajectory: return "Default run";
    case Family: return "Family curve";
    case Unstable: return "Unstable manifold";
    case Stable: return "Stable manifold";
    case Traces: return "Traces";
    case Z2Nullclines: return "z2 nullclines";
    case W0Nullcline: return "w0 nullcline";
    case DirectionField: return "Direction field";
    case LayerCount: break;
    }
    return "";
}

std::optional<Heading> forwardHeading(const Curve& forward)
{
    double total = 0;
    for (std::size_t i = 1; i < forward.size(); ++i)
        total += std::hypot(forward.x[i] - forward.x[i - 1], forward.y[i] - forward.y[i - 1]);
    if (!(total > 0))
        return std::nullopt;
    // The segment that crosses half the length gives the place and the way.
    double walked = 0;
    for (std::size_t i = 1; i < forward.size(); ++i) {
        const double dx = forward.x[i] - forward.x[i - 1];
        const double dy = forward.y[i] - forward.y[i - 1];
        const double step = std::hypot(dx, dy);
        if (walked + step < total / 2 || step == 0) {
            walked += step;
            continue;
        }
        const double t = (total / 2 - walked) / step;
        return Heading{{forward.x[i - 1] + dx * t, forward.y[i - 1] + dy * t}, dx / step, dy / step};
    }
    return std::nullopt;
}

std::vector<Point> arrowheadAt(const Heading& heading, double length)
{
    const Point tip = heading.tip;
    const double ux = heading.ux;
    const double uy = heading.uy;
    const double back = length;
    const double half = length * 0.4;
    return {tip,
            {tip.x - ux * back - uy * half, tip.y - uy * back + ux * half},
            {tip.x - ux * back + uy * half, tip.y - uy * back - ux * half}};
}

} // namespace cosmophase::plot

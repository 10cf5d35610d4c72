#include "WindowedContent.h"

#include <cmath>

namespace cosmophase::plot {

namespace {

bool segmentNearWindow(Point a, Point b, const PlotWindow& w)
{
    // Bounding boxes overlap: may keep a segment that passes a corner, which
    // the viewport then clips, but never drops one that crosses the window.
    return std::fmax(a.x, b.x) >= w.left() && std::fmin(a.x, b.x) <= w.right() && std::fmax(a.y, b.y) >= w.bottom()
        && std::fmin(a.y, b.y) <= w.top();
}

// The arrow of the fixed field for a picture magnified 1 / scale times: the
// field is measured in the window's units, so that the arrows keep the
// lengths they had unzoomed for a field that grows with distance.
Arrow arrowIn(const Simulation& sim, Point site, double scale)
{
    const Point field = fieldAt(sim, site);
    double dx = field.x / scale;
    double dy = field.y / scale;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length > 1) {
        dx = dx / length;
        dy = dy / length;
    }
    const double k = kArrowScale * scale;
    return {site, {(-dx / 2) * k, (-dy / 2) * k}, {dx * k, dy * k}};
}

} // namespace

std::vector<std::vector<Point>> WindowedContent::visibleStrips(const Curve& curve, const PlotWindow& window)
{
    std::vector<std::vector<Point>> strips;
    const std::size_t n = curve.size();
    const auto at = [&curve](std::size_t i) { return Point{curve.x[i], curve.y[i]}; };
    if (n == 1) {
        if (segmentNearWindow(at(0), at(0), window))
            strips.push_back({at(0), at(0)});
        return strips;
    }
    const double tolerance = window.side() * kResolution;
    std::vector<Point> strip;
    for (std::size_t i = 1; i < n; ++i) {
        const Point from = at(i - 1);
        const Point to = at(i);
        if (!segmentNearWindow(from, to, window)) {
            if (!strip.empty())
                strips.push_back(std::move(strip));
            strip.clear();
            continue;
        }
        if (strip.empty())
            strip.push_back(from);
        // A point may be skipped only where the curve carries on in view.
        const bool last = i + 1 == n || !segmentNearWindow(to, at(i + 1), window);
        const Point& kept = strip.back();
        if (last || std::hypot(to.x - kept.x, to.y - kept.y) >= tolerance)
            strip.push_back(to);
    }
    if (!strip.empty())
        strips.push_back(std::move(strip));
    return strips;
}

std::vector<Point> WindowedContent::arrowSitesIn(const PlotWindow& window)
{
    // The fixed sites sit at i + a/6: 24 sixths across the square, skipping
    // every sixth, so that no arrow sits on a grid line of the square.
    std::vector<Point> sites;
    sites.reserve(400);
    const auto place = [](double low, double side, int i, int a) { return low + side * (6 * i + a) / 24; };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int a = 1; a <= 5; ++a)
                for (int b = 1; b <= 5; ++b)
                    sites.push_back({place(window.left(), window.side(), i, a),
                                     place(window.bottom(), window.side(), j, b)});
    return sites;
}

void WindowedContent::rebuild(const FrameContent& base, const CurveSet& curves,
                              const std::vector<SolutionTrace>& traces, const PlotWindow& window)
{
    m_content = base;
    const double scale = window.scale();
    m_content.editLayer(FrameContent::Equilibria).diskRadius = kDotRadius * scale;
    m_content.editLayer(FrameContent::Marker).diskRadius = kMarkerRadius * scale;

    Layer& grid = m_content.editLayer(FrameContent::Grid);
    grid.lines.clear();
    for (double v : window.gridLines(window.left(), window.right()))
        grid.lines.insert(grid.lines.end(), {{v, window.bottom()}, {v, window.top()}});
    for (double v : window.gridLines(window.bottom(), window.top()))
        grid.lines.insert(grid.lines.end(), {{window.left(), v}, {window.right(), v}});

    const auto cut = [&window](std::initializer_list<const Curve*> parts) {
        std::vector<std::vector<Point>> strips;
        for (const Curve* part : parts) {
            for (std::vector<Point>& strip : visibleStrips(*part, window))
                strips.push_back(std::move(strip));
        }
        return strips;
    };
    if (curves.isBuilt()) {
        m_content.editLayer(FrameContent::Trajectory).strips = cut({&curves.trajectory()});
        m_content.editLayer(FrameContent::Family).strips = cut({&curves.family()});
        m_content.editLayer(FrameContent::Unstable).strips = cut({&curves.unstableLeave(), &curves.unstableRest()});
        m_content.editLayer(FrameContent::Stable).strips = cut({&curves.stableLeave(), &curves.stableRest()});
        Layer& field = m_content.editLayer(FrameContent::DirectionField);
        field.arrows.clear();
        for (const Point& site : arrowSitesIn(window))
            field.arrows.push_back(arrowIn(curves.simulation(), site, scale));
    }

    Layer& traceLayer = m_content.editLayer(FrameContent::Traces);
    traceLayer.strips.clear();
    traceLayer.triangles.clear();
    for (const SolutionTrace& trace : traces) {
        for (std::vector<Point>& strip : cut({&trace.forward, &trace.backward}))
            traceLayer.strips.push_back(std::move(strip));
        const std::vector<Point> head = forwardArrowhead(trace.forward, kTraceArrowLength * scale);
        traceLayer.triangles.insert(traceLayer.triangles.end(), head.begin(), head.end());
    }
}

const FrameContent& WindowedContent::content(const FrameContent& base)
{
    for (int id = 0; id < FrameContent::LayerCount; ++id) {
        const auto layer = static_cast<FrameContent::LayerId>(id);
        m_content.editLayer(layer).shown = base.layer(layer).shown;
    }
    m_content.editLayer(FrameContent::Marker).disks = base.layer(FrameContent::Marker).disks;
    return m_content;
}

} // namespace cosmophase::plot

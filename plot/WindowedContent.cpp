#include "WindowedContent.h"

#include <cmath>
#include <optional>

namespace cosmophase::plot {

namespace {

// The window's edges, worked out once for the hundreds of thousands of
// segments of a zoomed frame.
struct Bounds {
    explicit Bounds(const PlotWindow& w)
        : left(w.left())
        , right(w.right())
        , bottom(w.bottom())
        , top(w.top())
    {
    }
    double left, right, bottom, top;
};

bool segmentNearWindow(Point a, Point b, const Bounds& w)
{
    // Bounding boxes overlap: may keep a segment that passes a corner, which
    // the viewport then clips, but never drops one that crosses the window.
    // Each pair of tests is fmax(a, b) >= edge (or fmin <= edge), NaNs and
    // all, without a call per point.
    return (a.x >= w.left || b.x >= w.left) && (a.x <= w.right || b.x <= w.right)
        && (a.y >= w.bottom || b.y >= w.bottom) && (a.y <= w.top || b.y <= w.top);
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

namespace {

// Builds one polyline, dropping every point that a straight segment from
// the last kept point passes within `tolerance` of: the directions from
// that point that pass near all points since form a narrowing cone, and a
// point outside it ends the segment at the point before.
class Simplifier {
public:
    explicit Simplifier(double tolerance)
        : m_tolerance(tolerance)
    {
    }

    void start(Point p)
    {
        m_strip.clear();
        m_strip.push_back(p);
        m_pending.reset();
        reopen();
    }

    void add(Point p)
    {
        if (!fits(p)) {
            m_strip.push_back(*m_pending);
            reopen();
            fits(p);
        }
        m_pending = p;
    }

    std::vector<Point> finish()
    {
        if (m_pending)
            m_strip.push_back(*m_pending);
        return std::move(m_strip);
    }

private:
    void reopen()
    {
        m_has_direction = false;
        m_low = -M_PI;
        m_high = M_PI;
    }

    // Narrows the cone for p; false when p lies outside it.
    bool fits(Point p)
    {
        const Point& from = m_strip.back();
        const double dx = p.x - from.x;
        const double dy = p.y - from.y;
        const double distance = std::hypot(dx, dy);
        if (distance <= m_tolerance)
            return true;
        if (!m_has_direction) {
            m_direction = std::atan2(dy, dx);
            m_has_direction = true;
        }
        const double angle = std::remainder(std::atan2(dy, dx) - m_direction, 2 * M_PI);
        if (angle < m_low || angle > m_high)
            return false;
        const double spread = std::asin(m_tolerance / distance);
        m_low = std::fmax(m_low, angle - spread);
        m_high = std::fmin(m_high, angle + spread);
        return true;
    }

    double m_tolerance;
    std::vector<Point> m_strip;
    std::optional<Point> m_pending;
    bool m_has_direction = false;
    double m_direction = 0;
    double m_low = 0;
    double m_high = 0;
};

} // namespace

std::vector<std::vector<Point>> WindowedContent::visibleStrips(const Curve& curve, const PlotWindow& window)
{
    std::vector<std::vector<Point>> strips;
    const std::size_t n = curve.size();
    const auto at = [&curve](std::size_t i) { return Point{curve.x[i], curve.y[i]}; };
    const Bounds bounds(window);
    if (n == 1) {
        if (segmentNearWindow(at(0), at(0), bounds))
            strips.push_back({at(0), at(0)});
        return strips;
    }
    Simplifier strip(window.side() * kResolution);
    bool open = false;
    for (std::size_t i = 1; i < n; ++i) {
        if (!segmentNearWindow(at(i - 1), at(i), bounds)) {
            if (open)
                strips.push_back(strip.finish());
            open = false;
            continue;
        }
        if (!open)
            strip.start(at(i - 1));
        open = true;
        strip.add(at(i));
    }
    if (open)
        strips.push_back(strip.finish());
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
    }
    for (const std::optional<Heading>& heading : base.traceHeadings()) {
        if (!heading)
            continue;
        const std::vector<Point> head = arrowheadAt(*heading, kTraceArrowLength * scale);
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

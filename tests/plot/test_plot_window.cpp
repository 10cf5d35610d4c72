// The zoomable window over the phase plane and the frame cut from the full
// point lists for it.
#include "CurveSet.h"
#include "FrameContent.h"
#include "PlotWindow.h"
#include "SolutionTrace.h"
#include "WindowedContent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <utility>
#include <optional>

using namespace cosmophase;
using namespace cosmophase::plot;

namespace {

TEST(PlotWindow, ZoomKeepsThePointUnderThePointerAndResetIsExact)
{
    const struct { Point fixed; double factor; } steps[] = {{{0.3, -0.7}, 3}, {{-1.9, 1.9}, 1.6}, {{0.01, 0.02}, 50}};
    PlotWindow window;
    for (const auto& step : steps) {
        // The device point over `fixed` before the zoom is over it after.
        const double across = window.acrossFraction(step.fixed.x);
        const double down = window.downFraction(step.fixed.y);
        window.zoomAbout(step.fixed, step.factor);
        const Point again = window.pointAt(across * 800, down * 800, 800, 800);
        EXPECT_NEAR(again.x, step.fixed.x, window.side() * 1e-12);
        EXPECT_NEAR(again.y, step.fixed.y, window.side() * 1e-12);
        EXPECT_FALSE(window.isFull());
    }
    EXPECT_NEAR(window.side(), 4.0 / (3 * 1.6 * 50), 1e-15);
    // Zooming out past the square lands on it exactly, as Reset View does.
    window.zoomAbout({1.5, 1.5}, 1e-3);
    EXPECT_TRUE(window.isFull());
    EXPECT_TRUE(window.left() == -2 && window.right() == 2 && window.bottom() == -2 && window.top() == 2);
}

TEST(PlotWindow, LimitsDepthPanAndNonsense)
{
    PlotWindow window;
    window.panBy(1, 1); // nothing to pan unzoomed
    EXPECT_TRUE(window.isFull());
    window.zoomAbout({0, 0}, 1e12);
    EXPECT_EQ(window.halfSide(), PlotWindow::kMinHalfSide);
    window.panBy(100, -100); // the centre stays within the square
    EXPECT_TRUE(window.centre().x == 2 && window.centre().y == -2);
    for (double factor : {0.0, -2.0, double(NAN), double(INFINITY)})
        window.zoomAbout({0, 0}, factor);
    window.panBy(NAN, 1);
    EXPECT_TRUE(window.centre().x == 2 && window.centre().y == -2 && window.halfSide() == PlotWindow::kMinHalfSide);
}

// A run far outside the square (q = 1.32 runs z2 from about 167 to 1500):
// framed with a margin, zoomed out no further than square and run together,
// panned within that, and reset to the fixed square.
TEST(PlotWindow, FramingShowsBeyondTheSquare)
{
    PlotWindow window = PlotWindow::framing(166.6, 1500, -0.67, 16.3);
    EXPECT_TRUE(window.left() < 166.6 && window.right() > 1500 && window.bottom() < -0.67 && window.top() > 16.3);
    EXPECT_NEAR(window.side(), (1500 - 166.6) * 1.1, 1e-9);
    window.zoomAbout({800, 5}, 1e-6);
    EXPECT_NEAR(window.side(), (1500 + 2) * 1.1, 1e-9);
    EXPECT_TRUE(window.left() < -2 && window.right() > 1500 && window.bottom() < -2 && window.top() > 16.3);
    const Point reach = window.centre();
    window.zoomAbout({0, 0}, 1e12); // deepest zoom, coarser out here
    EXPECT_GT(window.halfSide(), PlotWindow::kMinHalfSide);
    window.panBy(1e6, -1e6);
    EXPECT_TRUE(window.centre().x == reach.x + window.reachHalfSide() && window.centre().y == reach.y - window.reachHalfSide());
    window.reset();
    EXPECT_TRUE(window.isFull() && window.reachHalfSide() == PlotWindow::kFullHalfSide);
    // Nothing to frame: the fixed square.
    EXPECT_TRUE(PlotWindow::framing(NAN, 1, 0, 1).isFull() && PlotWindow::framing(2, 1, 0, 1).isFull());
}

TEST(PlotWindow, TicksAreRoundStepsInsideTheWindow)
{
    PlotWindow full;
    EXPECT_EQ(full.ticks(-2, 2), tickValues());
    EXPECT_EQ(full.gridLines(-2, 2), gridLines());

    const struct { double half; double step; } cases[] = {{1, 0.2}, {0.3, 0.1}, {0.05, 0.01}, {0.0004, 0.0001}};
    for (const auto& c : cases) {
        PlotWindow window;
        window.zoomAbout({0.123, -0.456}, 2 / c.half);
        EXPECT_DOUBLE_EQ(window.tickStep(), c.step);
        const std::vector<double> ticks = window.ticks(window.left(), window.right());
        ASSERT_GE(ticks.size(), 4u);
        EXPECT_LE(ticks.size(), 11u);
        for (double v : ticks) {
            EXPECT_TRUE(v >= window.left() - 1e-12 && v <= window.right() + 1e-12) << v;
            EXPECT_NEAR(v / c.step, std::round(v / c.step), 1e-6) << v;
        }
        for (double v : window.gridLines(window.left(), window.right()))
            EXPECT_TRUE(v > window.left() && v < window.right());
    }
}

const CurveSet& curveSet()
{
    static const CurveSet curves = [] {
        CurveSet built;
        built.initialize();
        return built;
    }();
    return curves;
}

double distanceToSegment(Point p, Point a, Point b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Every point of a curve inside the window lies within the tolerance of the
// strips drawn for it, and they need far fewer vertices than the points.
TEST(WindowedContent, StripsCoverEveryVisiblePointAndNoMore)
{
    const CurveSet& curves = curveSet();
    PlotWindow window;
    window.zoomAbout({0, 0}, 40); // the saddle, where the run starts
    for (const Curve* curve : {&curves.trajectory(), &curves.unstableRest(), &curves.stableLeave()}) {
        const auto strips = WindowedContent::visibleStrips(*curve, window);
        std::size_t vertices = 0;
        for (const auto& strip : strips)
            vertices += strip.size();
        std::size_t inside = 0;
        for (std::size_t i = 0; i < curve->size(); ++i) {
            const Point p{curve->x[i], curve->y[i]};
            if (p.x < window.left() || p.x > window.right() || p.y < window.bottom() || p.y > window.top())
                continue;
            ++inside;
            double nearest = INFINITY;
            for (const auto& strip : strips)
                for (std::size_t k = 1; k < strip.size(); ++k)
                    nearest = std::fmin(nearest, distanceToSegment(p, strip[k - 1], strip[k]));
            ASSERT_LE(nearest, window.side() * WindowedContent::kResolution * (1 + 1e-9)) << "point " << i;
        }
        EXPECT_GT(inside, 0u);
        EXPECT_GE(vertices, 2u);
        EXPECT_LT(vertices, inside / 4 + 8);
    }
    // A window away from every curve draws none of them.
    PlotWindow empty;
    empty.zoomAbout({1.9, 1.9}, 100);
    EXPECT_TRUE(WindowedContent::visibleStrips(curves.trajectory(), empty).empty());
}

TEST(WindowedContent, LaysTheFixedFrameOverTheWindow)
{
    const CurveSet& curves = curveSet();
    FrameContent base;
    base.setCurves(curves);
    base.setVisibility({true, false, true});
    PlotWindow full;
    // The field's sites over the full square are the fixed ones, to rounding.
    const std::vector<Point> fixed = arrowSites();
    const std::vector<Point> laid = WindowedContent::arrowSitesIn(full);
    ASSERT_EQ(laid.size(), fixed.size());
    for (std::size_t k = 0; k < fixed.size(); ++k)
        ASSERT_TRUE(std::fabs(laid[k].x - fixed[k].x) < 1e-6 && std::fabs(laid[k].y - fixed[k].y) < 1e-6) << k;

    PlotWindow window;
    window.zoomAbout({-1.3, 0.3}, 10);
    WindowedContent windowed;
    windowed.rebuild(base, curves, {}, window);
    base.setMarker({-1.31, 0.31});
    const FrameContent& frame = windowed.content(base);
    EXPECT_EQ(frame.layer(FrameContent::Marker).disks.front().x, -1.31);
    EXPECT_TRUE(frame.layer(FrameContent::Family).shown && !frame.layer(FrameContent::Unstable).shown);
    EXPECT_DOUBLE_EQ(frame.layer(FrameContent::Equilibria).diskRadius, kDotRadius / 10);
    EXPECT_EQ(frame.layer(FrameContent::DirectionField).arrows.size(), 400u);
    for (const Arrow& arrow : frame.layer(FrameContent::DirectionField).arrows) {
        EXPECT_TRUE(arrow.site.x > window.left() && arrow.site.x < window.right());
        EXPECT_LE(std::hypot(arrow.head.x, arrow.head.y), kArrowScale / 10 * (1 + 1e-12));
    }
    const Layer& grid = frame.layer(FrameContent::Grid);
    for (std::size_t k = 0; k < grid.lines.size(); ++k)
        EXPECT_TRUE(grid.lines[k].x >= window.left() && grid.lines[k].x <= window.right());
}

// A zoomed frame draws each trace's arrowhead where the full frame placed
// it, at the size it has on screen unzoomed; a half that does not move has none.
TEST(WindowedContent, DrawsTheTracesArrowheadsAtTheWindowsScale)
{
    const std::vector<SolutionTrace> traces = {traceThrough(0.5, -0.25), traceThrough(0, 0), traceThrough(-3, 0)};
    FrameContent base;
    base.setTraces(traces);
    PlotWindow window;
    window.zoomAbout({0.5, -0.25}, 8);
    WindowedContent windowed;
    windowed.rebuild(base, CurveSet{}, traces, window);
    const std::optional<Heading> heading = forwardHeading(traces[0].forward);
    ASSERT_TRUE(heading);
    using Drawn = std::pair<const FrameContent*, double>;
    for (const auto& [content, length] :
         {Drawn{&base, kTraceArrowLength}, Drawn{&windowed.content(base), kTraceArrowLength * window.scale()}}) {
        const std::vector<Point> expected = arrowheadAt(*heading, length);
        const std::vector<Point>& drawn = content->layer(FrameContent::Traces).triangles;
        ASSERT_EQ(drawn.size(), expected.size());
        for (std::size_t k = 0; k < drawn.size(); ++k)
            EXPECT_TRUE(drawn[k].x == expected[k].x && drawn[k].y == expected[k].y) << k;
    }
}

TEST(ForwardHeading, SitsHalfwayAndPointsTheWayTheCurveRuns)
{
    const Curve forward{{0, 1, 2, 2}, {0, 0, 0, 2}}; // 4 long; halfway is (2, 0)
    const std::optional<Heading> heading = forwardHeading(forward);
    ASSERT_TRUE(heading);
    const std::vector<Point> head = arrowheadAt(*heading, 0.1);
    ASSERT_EQ(head.size(), 3u);
    EXPECT_DOUBLE_EQ(head[0].x, 2);
    EXPECT_DOUBLE_EQ(head[0].y, 0);
    // Both back corners lie behind the tip along the way it runs (+x).
    EXPECT_DOUBLE_EQ(head[1].x, 1.9);
    EXPECT_DOUBLE_EQ(head[2].x, 1.9);
    EXPECT_DOUBLE_EQ(head[1].y, -head[2].y);
    EXPECT_FALSE(forwardHeading(Curve{{0.5}, {0.5}}));
    EXPECT_FALSE(forwardHeading(Curve{{0.5, 0.5}, {0.5, 0.5}}));
}

} // namespace

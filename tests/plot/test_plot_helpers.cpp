#include "FrameRate.h"
#include "PlotGeometry.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <tuple>

using namespace cosmophase;
using Indices = std::vector<std::size_t>;

namespace {

class Thinning : public testing::TestWithParam<std::tuple<std::size_t, std::size_t, Indices>> {};

TEST_P(Thinning, EveryStrideThPlusTheLast)
{
    const auto& [n, stride, expected] = GetParam();
    EXPECT_EQ(plot::thinnedIndices(n, stride), expected);
    Curve curve{std::vector<double>(n), std::vector<double>(n)};
    std::iota(curve.x.begin(), curve.x.end(), 0.0);
    std::iota(curve.y.begin(), curve.y.end(), 0.5);
    const std::vector<plot::Point> v = plot::thinnedVertices(curve, stride);
    ASSERT_EQ(v.size(), expected.size());
    for (std::size_t k = 0; k < v.size(); ++k)
        EXPECT_TRUE(v[k].x == expected[k] && v[k].y == v[k].x + 0.5) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Curves, Thinning,
    testing::Values(std::make_tuple(101, plot::kCurveStride, Indices{0, 100, 100}), // last sent twice
                    std::make_tuple(25, plot::kTrajectoryStride, Indices{0, 10, 20, 24}),
                    std::make_tuple(100, 100, Indices{0, 99}), std::make_tuple(0, 10, Indices{}),
                    std::make_tuple(1, 100, Indices{0, 0}))); // degenerate strip

TEST(PlotGeometry, GridAndDirectionField)
{
    EXPECT_EQ(plot::gridLines(), (std::vector<double>{-1.5, -1, -0.5, 0, 0.5, 1, 1.5})); // none on the edges
    const double k = static_cast<double>(1.0f / 7.0f); // single precision, too
    Simulation sim;
    sim.initialize();
    const std::vector<plot::Point> sites = plot::arrowSites();
    const std::vector<plot::Arrow> field = plot::directionField(sim);
    ASSERT_TRUE(sites.size() == 400 && field.size() == 400);
    // Quotient and sum each rounded to single precision (i = -2, a = 4 and 5).
    EXPECT_TRUE(sites[15].x == -1.3333332538604736 && sites[20].x == -1.1666667461395264);
    int longOnes = 0;
    std::size_t n = 0;
    for (int i = -2; i <= 1; ++i)
        for (int j = -2; j <= 1; ++j)
            for (int a = 1; a <= 5; ++a)
                for (int b = 1; b <= 5; ++b, ++n) {
                    const plot::Point s = sites[n];
                    const plot::Arrow& arrow = field[n];
                    EXPECT_TRUE(std::abs(s.x - (i + a / 6.0)) < 1e-6 && std::abs(s.y - (j + b / 6.0)) < 1e-6) << n;
                    EXPECT_TRUE(static_cast<float>(s.x) == s.x && static_cast<float>(s.y) == s.y) << n;
                    EXPECT_TRUE(arrow.site.x == s.x && arrow.site.y == s.y) << n;
                    const double fx = sim.z2ODE(s.x, 0, s.y, 0);
                    const double fy = sim.w0ODE(s.x, 0, s.y, 0);
                    longOnes += std::hypot(fx, fy) > 1 ? 1 : 0;
                    EXPECT_NEAR(std::hypot(arrow.head.x, arrow.head.y), k * std::min(std::hypot(fx, fy), 1.0), 1e-15);
                    EXPECT_NEAR(arrow.head.x * fy - arrow.head.y * fx, 0.0, 1e-12) << n; // along the field
                    EXPECT_GE(arrow.head.x * fx + arrow.head.y * fy, 0.0) << n;
                    EXPECT_TRUE(arrow.offset.x == -arrow.head.x / 2 && arrow.offset.y == -arrow.head.y / 2) << n;
                }
    EXPECT_TRUE(longOnes > 0 && longOnes < 400) << longOnes; // both rules were exercised
}

// glOrtho(-2, 2, -2, 2) over a viewport whose rows grow downwards.
class PixelToPlot : public testing::TestWithParam<std::tuple<double, double, double, double, double, double>> {};

TEST_P(PixelToPlot, MapsLikeTheProjection)
{
    const auto [x, y, width, height, z2, w0] = GetParam();
    const plot::Point p = plot::plotPointAt(x, y, width, height);
    EXPECT_DOUBLE_EQ(p.x, z2);
    EXPECT_DOUBLE_EQ(p.y, w0);
}

INSTANTIATE_TEST_SUITE_P(Viewports, PixelToPlot,
                         testing::Values(std::make_tuple(0, 0, 800, 800, -2, 2), std::make_tuple(800, 800, 800, 800, 2, -2),
                                         std::make_tuple(400, 400, 800, 800, 0, 0), std::make_tuple(600, 150, 800, 600, 1, 1),
                                         std::make_tuple(0.5, 599.5, 800, 600, -1.9975, -1.9966666666666666)));

class FrameRate : public testing::TestWithParam<std::tuple<std::int64_t, std::int32_t, int>> {};

TEST_P(FrameRate, TruncatedMillisecondsAndFramesPerSecond)
{
    const auto [micros, millis, fps] = GetParam();
    EXPECT_EQ(elapsedMilliseconds(micros), millis);
    EXPECT_EQ(framesPerSecond(micros), fps);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, FrameRate,
    testing::Values(std::make_tuple(0, 0, 1000), std::make_tuple(999, 0, 1000), // under 1 ms reads 1000
                    std::make_tuple(1999, 1, 1000), std::make_tuple(2000, 2, 500), std::make_tuple(3999, 3, 333),
                    std::make_tuple(16667, 16, 62), std::make_tuple(1500000, 1500, 0), // slower than 1 fps reads 0
                    std::make_tuple(-1999, -1, 1000), // toward zero, never a negative rate
                    std::make_tuple(INT64_C(2000000000000), 2000000000, 0)));

TEST(FrameRate, ProgramClockCountsFromProgramStart)
{
    const std::int64_t first = microsSinceProgramStart();
    EXPECT_TRUE(first >= 0 && first < INT64_C(60000000)) << first; // read at static initialisation
    EXPECT_GE(microsSinceProgramStart(), first);
}

} // namespace

#include "PlotGeometry.h"

#include "CurveSet.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <tuple>
#include <vector>

using namespace cosmophase;
using Indices = std::vector<std::size_t>;

namespace {

class Thinning : public testing::TestWithParam<std::tuple<std::size_t, std::size_t, Indices>> {};

TEST_P(Thinning, EveryStrideThPlusTheLast)
{
    const auto& [n, stride, expected] = GetParam();
    EXPECT_EQ(plot::thinnedIndices(n, stride), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Curves, Thinning,
    testing::Values(std::make_tuple(101, 100, Indices{0, 100, 100}),  // last sent twice
                    std::make_tuple(1, 100, Indices{0, 0}),           // degenerate strip
                    std::make_tuple(100, 100, Indices{0, 99}),
                    std::make_tuple(250, 100, Indices{0, 100, 200, 249}),
                    std::make_tuple(25, 10, Indices{0, 10, 20, 24}),  // trajectory
                    std::make_tuple(21, 10, Indices{0, 10, 20, 20}),
                    std::make_tuple(0, 10, Indices{}),
                    std::make_tuple(0, 100, Indices{})));

TEST(Thinning, VerticesPairTheListsAtTheThinnedIndices)
{
    Curve curve;
    for (int i = 0; i < 205; ++i) {
        curve.x.push_back(i * 0.5);
        curve.y.push_back(-i * 0.25);
    }
    const std::vector<plot::Point> v = plot::thinnedVertices(curve, plot::kCurveStride);
    ASSERT_EQ(v.size(), 4u);
    const double expectedX[] = {0.0, 50.0, 100.0, 102.0};
    const double expectedY[] = {0.0, -25.0, -50.0, -51.0};
    for (std::size_t k = 0; k < v.size(); ++k) {
        EXPECT_EQ(v[k].x, expectedX[k]) << k;
        EXPECT_EQ(v[k].y, expectedY[k]) << k;
    }
    EXPECT_TRUE(plot::thinnedVertices(Curve{}, plot::kCurveStride).empty());
}

TEST(Grid, SevenLinesInsideTheSquareNoneOnItsEdges)
{
    EXPECT_EQ(plot::gridLines(), (std::vector<double>{-1.5, -1, -0.5, 0, 0.5, 1, 1.5}));
}

TEST(DrawingValues, SinglePrecisionRoundingsWidened)
{
    EXPECT_EQ(plot::kDotRadius, 0.019999999552965164);
    EXPECT_EQ(plot::kMarkerRadius, 0.024999999441206455);
    EXPECT_EQ(plot::kArrowScale, 0.1428571492433548);
    EXPECT_EQ(plot::kEquilibria[1].x, -1.3333333730697632);
    EXPECT_EQ(plot::kEquilibria[1].y, -0.6666666865348816);
    EXPECT_EQ(plot::kEquilibria[2].y, 0.3333333432674408);
}

// Site (i, j, a, b) in the drawing order: i outermost, b innermost.
std::size_t siteIndex(int i, int j, int a, int b)
{
    return static_cast<std::size_t>(((i + 2) * 4 + (j + 2)) * 25 + (a - 1) * 5 + (b - 1));
}

TEST(ArrowSites, FourHundredInSinglePrecision)
{
    const std::vector<plot::Point> sites = plot::arrowSites();
    ASSERT_EQ(sites.size(), 400u);
    const double xForIMinus2[] = {-1.8333333730697632, -1.6666666269302368, -1.5,
                                  -1.3333332538604736, -1.1666667461395264};
    for (int a = 1; a <= 5; ++a)
        EXPECT_EQ(sites[siteIndex(-2, 0, a, 3)].x, xForIMinus2[a - 1]) << "a = " << a;
    // y follows the same rule on j and b.
    for (int b = 1; b <= 5; ++b)
        EXPECT_EQ(sites[siteIndex(1, -2, 4, b)].y, xForIMinus2[b - 1]) << "b = " << b;
    // A 20 x 20 lattice strictly inside the square.
    std::vector<double> xs;
    for (const plot::Point& p : sites) {
        EXPECT_GT(p.x, -2);
        EXPECT_LT(p.y, 2);
        xs.push_back(p.x);
    }
    std::sort(xs.begin(), xs.end());
    EXPECT_EQ(std::unique(xs.begin(), xs.end()) - xs.begin(), 20);
}

class Arrows : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        curves = new CurveSet;
        curves->initialize();
    }
    static void TearDownTestSuite() { delete curves; }
    static CurveSet* curves;
};
CurveSet* Arrows::curves = nullptr;

TEST_F(Arrows, LengthIsScaleTimesFieldLengthCappedAtOne)
{
    const Simulation& sim = curves->simulation();
    int shortOnes = 0;
    int longOnes = 0;
    for (const plot::Point& site : plot::arrowSites()) {
        const double fx = sim.z2ODE(site.x, 0, site.y, 0);
        const double fy = sim.w0ODE(site.x, 0, site.y, 0);
        const double fieldLength = std::hypot(fx, fy);
        const plot::Arrow arrow = plot::arrowAt(sim, site);
        const double length = std::hypot(arrow.head.x, arrow.head.y);
        (fieldLength > 1 ? longOnes : shortOnes) += 1;
        EXPECT_NEAR(length, plot::kArrowScale * std::min(fieldLength, 1.0), 1e-15);
        // Along the field, and centred on its site.
        EXPECT_NEAR(arrow.head.x * fy - arrow.head.y * fx, 0.0, 1e-12);
        EXPECT_GE(arrow.head.x * fx + arrow.head.y * fy, 0.0);
        EXPECT_EQ(arrow.offset.x, -arrow.head.x / 2);
        EXPECT_EQ(arrow.offset.y, -arrow.head.y / 2);
        EXPECT_EQ(arrow.site.x, site.x);
        EXPECT_EQ(arrow.site.y, site.y);
    }
    // Both regimes occur in the plot, so both rules were exercised.
    EXPECT_GT(shortOnes, 0);
    EXPECT_GT(longOnes, 0);
}

TEST_F(Arrows, FollowTheFieldAsTheBuildLeftIt)
{
    // The build leaves the direction flag true, i.e. the negated field.
    Simulation backward;
    backward.initialize();
    backward.setForwardTime(false);
    const plot::Point site{0.5, -0.5};
    const plot::Arrow built = plot::arrowAt(curves->simulation(), site);
    const plot::Arrow reversed = plot::arrowAt(backward, site);
    EXPECT_EQ(built.head.x, -reversed.head.x);
    EXPECT_EQ(built.head.y, -reversed.head.y);

    const std::vector<plot::Arrow> field = plot::directionField(curves->simulation());
    ASSERT_EQ(field.size(), 400u);
    const plot::Point last = plot::arrowSites().back();
    EXPECT_EQ(field.back().head.x, plot::arrowAt(curves->simulation(), last).head.x);
}

} // namespace

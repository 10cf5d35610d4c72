#include "Coefficients.h"
#include "Nullclines.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace cosmophase;

namespace {

struct Case {
    const char* name;
    std::function<std::vector<plot::Point>()> curve;
    bool z2Side; // whose right-hand side vanishes on it
    double tolerance;
};

class Nullcline : public testing::TestWithParam<Case> {};

// Every vertex, and every point between two, lies where its right-hand side
// vanishes, inside the closed square; each end is on the square's edge.
TEST_P(Nullcline, RightHandSideVanishesAlongItWithinTheSquare)
{
    const Case& c = GetParam();
    Simulation sim;
    sim.initialize();
    const auto rhs = [&](plot::Point p) { return c.z2Side ? sim.z2ODE(p.x, 0, p.y, 0) : sim.w0ODE(p.x, 0, p.y, 0); };
    const std::vector<plot::Point> points = c.curve();
    ASSERT_GE(points.size(), 2u);
    const auto onEdge = [](plot::Point p) { return std::max(std::abs(p.x), std::abs(p.y)) == 2; };
    EXPECT_TRUE(onEdge(points.front()) && onEdge(points.back()));
    for (std::size_t k = 0; k < points.size(); ++k) {
        const plot::Point p = points[k];
        EXPECT_TRUE(std::abs(p.x) <= 2 && std::abs(p.y) <= 2) << k;
        EXPECT_LE(std::abs(rhs(p)), c.tolerance) << k << ": " << p.x << ", " << p.y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Curves, Nullcline,
    testing::Values(Case{"VerticalZ2Line", [] { return plot::z2Nullclines()[0]; }, true, 0.0},
                    Case{"HorizontalZ2Line", [] { return plot::z2Nullclines()[1]; }, true, 0.0},
                    Case{"W0Parabola", [] { return plot::w0Nullcline(); }, false, 1e-15},
                    Case{"W0ParabolaCoarse", [] { return plot::w0Nullcline(3); }, false, 1e-15}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(Nullcline, LinesSpanTheSquareAndTheParabolaTurnsAtItsVertex)
{
    const auto lines = plot::z2Nullclines();
    EXPECT_TRUE(lines[0].front().x == -coeff::k4_3 && lines[0].front().y == -2 && lines[0].back().y == 2);
    EXPECT_TRUE(lines[1].front().x == -2 && lines[1].back().x == 2 && lines[1].back().y == 0);
    // w0 rises along the curve, through the vertex z2 = [1/3]^2 / (4 [1/6]) at w0 = -[1/3] / 2.
    const std::vector<plot::Point> parabola = plot::w0Nullcline(256);
    ASSERT_EQ(parabola.size(), 257u);
    EXPECT_TRUE(std::is_sorted(parabola.begin(), parabola.end(), [](auto a, auto b) { return a.y < b.y; }));
    const auto top = std::max_element(parabola.begin(), parabola.end(), [](auto a, auto b) { return a.x < b.x; });
    EXPECT_NEAR(top->x, std::pow(coeff::k1_3, 2) / (4 * coeff::k1_6), 1e-4);
    EXPECT_NEAR(top->y, -coeff::k1_3 / 2, 1e-2);
}

} // namespace

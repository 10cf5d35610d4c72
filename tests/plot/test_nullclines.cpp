#include "Nullclines.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace cosmophase;

namespace {

// Curve 0 and 1: the z2 nullclines; 2: the w0 nullcline, finely and coarsely.
class Nullcline : public testing::TestWithParam<int> {};

// Its right-hand side vanishes at every vertex, which lies in the closed
// square; both ends are on the square's edge, so it spans the square.
TEST_P(Nullcline, RightHandSideVanishesAlongItWithinTheSquare)
{
    const int which = GetParam();
    const std::vector<plot::Point> points = which < 2 ? plot::z2Nullclines()[which] : plot::w0Nullcline(which == 2 ? 256 : 3);
    Simulation sim;
    sim.initialize();
    const auto onEdge = [](plot::Point p) { return std::max(std::abs(p.x), std::abs(p.y)) == 2; };
    ASSERT_TRUE(points.size() >= 2 && onEdge(points.front()) && onEdge(points.back()));
    for (const plot::Point p : points) {
        EXPECT_TRUE(std::abs(p.x) <= 2 && std::abs(p.y) <= 2) << p.x << ", " << p.y;
        EXPECT_LE(std::abs(which < 2 ? sim.z2ODE(p.x, 0, p.y, 0) : sim.w0ODE(p.x, 0, p.y, 0)), which < 2 ? 0 : 1e-15);
    }
}

INSTANTIATE_TEST_SUITE_P(Curves, Nullcline, testing::Values(0, 1, 2, 3));

} // namespace

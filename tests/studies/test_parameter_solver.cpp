#include "ParameterSolver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using cosmophase::studies::ClosedBracket;
using cosmophase::studies::closeSignChange;

namespace {

// A step from -1 to 1 at x0, as the run's present day steps with q.
auto stepAt(double x0)
{
    return [x0](double x) { return x < x0 ? -1.0 : 1.0; };
}

struct Case {
    const char* what;
    std::function<double(double)> f;
    double xa, xb;
    std::uintmax_t maxIterations;
    bool closes;
};

} // namespace

// x is log(1 - q). A crossing is closed to 1e-9 of 1 - q however close q is
// to 1; a NaN inside the bracket or a bracket left open is never a crossing.
TEST(ParameterSolver, ClosesABracketOrSaysWhyNot)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"smooth", [](double x) { return x + 1.5; }, -2, -1, 200, true},
        {"step far from q = 1", stepAt(-1.3), -2, -1, 200, true},
        {"step at 1 - q = 5e-12", stepAt(std::log(5e-12)), std::log(2e-12), std::log(1e-11), 200, true},
        {"NaN inside", [nan](double x) { return x < -1.6 ? -1.0 : x < -1.4 ? nan : 1.0; }, -2, -1, 200, false},
        {"NaN inside a smooth crossing", [nan](double x) { return std::abs(x + 1.5) < 0.2 ? nan : x + 1.5; }, -2,
         -1, 200, false},
        {"too few iterations", stepAt(-1.3), -2, -1, 4, false},
    };
    for (const Case& c : cases) {
        const ClosedBracket closed = closeSignChange(c.f, c.xa, c.xb, c.f(c.xa), c.f(c.xb), c.maxIterations);
        EXPECT_EQ(closed.error.empty(), c.closes) << c.what << ": " << closed.error;
        if (!c.closes)
            continue;
        const double qa = -std::expm1(closed.a);
        const double qb = -std::expm1(closed.b);
        EXPECT_LE(std::abs(qa - qb), 1e-12) << c.what;
        const bool neighbours = std::nextafter(qa, qb) == qb;
        EXPECT_TRUE(neighbours || std::abs(closed.a - closed.b) <= 1e-9) << c.what << ": " << closed.a - closed.b;
        EXPECT_TRUE(c.f(closed.a) * c.f(closed.b) <= 0) << c.what;
    }
}

#include "Simulation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using cosmophase::Simulation;

namespace {

using Rhs = double (Simulation::*)(double, double, double, double) const;

struct RhsCase {
    const char* name;
    Rhs rhs;
    double expected; // at (0.5, 0.25, -0.125, 1.0) with the flag clear
};

class RightHandSide : public ::testing::TestWithParam<RhsCase> {
protected:
    double at(bool forward, double z2, double z4, double w0, double w2)
    {
        sim.setForwardTime(forward);
        return (sim.*GetParam().rhs)(z2, z4, w0, w2);
    }
    Simulation sim;
};

TEST_P(RightHandSide, GoldenValueZeroAtOriginAndExactNegation)
{
    EXPECT_EQ(at(false, 0.5, 0.25, -0.125, 1.0), GetParam().expected);
    EXPECT_EQ(at(false, 0, 0, 0, 0), 0.0);
    EXPECT_EQ(at(true, 0, 0, 0, 0), 0.0);

    const double points[][4] = {{0.5, 0.25, -0.125, 1.0},
                                {-1.3, 0.7, 0.4, -0.2},
                                {1e-7, -3e-6, 2.5e-7, 9e-8},
                                {std::numeric_limits<double>::infinity(), 0, 1, 0}};
    for (const auto& p : points) {
        const double negated = -at(false, p[0], p[1], p[2], p[3]);
        const double forward = at(true, p[0], p[1], p[2], p[3]);
        // Bit patterns, so that signed zeros and NaNs count too.
        EXPECT_EQ(std::memcmp(&forward, &negated, sizeof forward), 0) << "z2 = " << p[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllFour, RightHandSide,
    ::testing::Values(RhsCase{"z2", &Simulation::z2ODE, -0.6875000149011612},
                      RhsCase{"z4", &Simulation::z4ODE, -8.37528952746652},
                      RhsCase{"w0", &Simulation::w0ODE, 0.0572916679084301},
                      RhsCase{"w2", &Simulation::w2ODE, -0.8398003564216197}),
    [](const auto& info) { return std::string(info.param.name); });

// With exact double fractions the z2 right-hand side would be -0.6875 at the
// reference point; the single-precision coefficients leave their trace.
TEST(RightHandSides, PlanarPairUsesSinglePrecisionCoefficientsAndIgnoresZ4W2)
{
    Simulation sim;
    sim.setForwardTime(false);
    EXPECT_NE(sim.z2ODE(0.5, 0.25, -0.125, 1.0), -0.6875);
    EXPECT_EQ(sim.z2ODE(0.0, 0.0, 1.0 / 3.0, 0.0), 1.3333333730697632);
    EXPECT_EQ(sim.w0ODE(1.0, 0.0, 0.0, 0.0), 0.1666666716337204);
    EXPECT_EQ(sim.z2ODE(0.3, 123.0, -0.7, -45.0), sim.z2ODE(0.3, 0, -0.7, 0));
    EXPECT_EQ(sim.w0ODE(0.3, -9.5, -0.7, 1e10), sim.w0ODE(0.3, 0, -0.7, 0));
}

} // namespace

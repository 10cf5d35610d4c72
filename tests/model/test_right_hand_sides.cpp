#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using cosmophase::Simulation;

namespace {

using Rhs = double (Simulation::*)(double, double, double, double) const;

struct RhsCase {
    const char* name;
    Rhs rhs;
    double expected; // at (0.5, 0.25, -0.125, 1.0), flag false
};

class RightHandSide : public ::testing::TestWithParam<RhsCase> {
protected:
    void SetUp() override { sim.initialize(); }
    Simulation sim;
};

TEST_P(RightHandSide, GoldenValueWithForwardFlagClear)
{
    sim.setForwardTime(false);
    EXPECT_EQ((sim.*GetParam().rhs)(0.5, 0.25, -0.125, 1.0), GetParam().expected);
}

TEST_P(RightHandSide, ForwardFlagNegatesExactly)
{
    const double points[][4] = {
        {0.5, 0.25, -0.125, 1.0},
        {-1.3, 0.7, 0.4, -0.2},
        {1e-7, -3e-6, 2.5e-7, 9e-8},
        {1.9, -1.9, -1.9, 1.9},
        {std::numeric_limits<double>::infinity(), 0, 1, 0},
    };
    for (const auto& p : points) {
        sim.setForwardTime(false);
        const double backward = (sim.*GetParam().rhs)(p[0], p[1], p[2], p[3]);
        sim.setForwardTime(true);
        const double forward = (sim.*GetParam().rhs)(p[0], p[1], p[2], p[3]);
        // Bit patterns, so that signed zeros and NaNs are checked too.
        const double negated = -backward;
        EXPECT_EQ(std::memcmp(&forward, &negated, sizeof forward), 0)
            << GetParam().name << " at z2=" << p[0];
    }
}

TEST_P(RightHandSide, VanishesAtTheOriginForEitherFlag)
{
    for (bool forward : {false, true}) {
        sim.setForwardTime(forward);
        EXPECT_EQ((sim.*GetParam().rhs)(0, 0, 0, 0), 0.0) << GetParam().name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllFour, RightHandSide,
    ::testing::Values(RhsCase{"z2", &Simulation::z2ODE, -0.6875000149011612},
                      RhsCase{"z4", &Simulation::z4ODE, -8.37528952746652},
                      RhsCase{"w0", &Simulation::w0ODE, 0.0572916679084301},
                      RhsCase{"w2", &Simulation::w2ODE, -0.8398003564216197}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RightHandSides, PlanarPairIgnoresZ4AndW2)
{
    Simulation sim;
    sim.initialize();
    for (bool forward : {false, true}) {
        sim.setForwardTime(forward);
        const double z2 = sim.z2ODE(0.3, 0, -0.7, 0);
        const double w0 = sim.w0ODE(0.3, 0, -0.7, 0);
        EXPECT_EQ(sim.z2ODE(0.3, 123.0, -0.7, -45.0), z2);
        EXPECT_EQ(sim.w0ODE(0.3, -9.5, -0.7, 1e10), w0);
    }
}

// With exact double fractions the z2 right-hand side would be -0.6875 here;
// the single-precision 4/3 leaves its trace in the last digits.
TEST(RightHandSides, UseSinglePrecisionCoefficients)
{
    Simulation sim;
    sim.initialize();
    sim.setForwardTime(false);
    EXPECT_NE(sim.z2ODE(0.5, 0.25, -0.125, 1.0), -0.6875);
    EXPECT_EQ(sim.z2ODE(0.0, 0.0, 1.0 / 3.0, 0.0), 1.3333333730697632);
    // w0' = w0^2 + w0 [1/3] + z2 [1/6]: at (z2, w0) = (1, 0) it is [1/6].
    EXPECT_EQ(sim.w0ODE(1.0, 0.0, 0.0, 0.0), 0.1666666716337204);
}

} // namespace

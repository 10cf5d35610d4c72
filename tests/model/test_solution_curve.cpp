#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using cosmophase::Simulation;

namespace {

Simulation traced(bool forward, double z2, double w0)
{
    Simulation sim;
    sim.initialize();
    sim.setForwardTime(forward);
    sim.setz2(z2);
    sim.setz4(0.0);
    sim.setw0(w0);
    sim.setw2(0.0);
    sim.buildSolnCurve();
    return sim;
}

struct EdgeCase {
    double z2;
    double w0;
};

class StartOutsideOpenSquare : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(StartOutsideOpenSquare, TakesNoStep)
{
    for (bool forward : {false, true}) {
        const Simulation sim = traced(forward, GetParam().z2, GetParam().w0);
        ASSERT_EQ(sim.getz2Data().size(), 1u);
        ASSERT_EQ(sim.getw0Data().size(), 1u);
        EXPECT_EQ(std::memcmp(&sim.getz2Data()[0], &GetParam().z2, sizeof(double)), 0);
        EXPECT_EQ(sim.simTime(), 0.0L);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EdgesAndBeyond, StartOutsideOpenSquare,
    ::testing::Values(EdgeCase{2.0, 0.0}, EdgeCase{-2.0, 0.0}, EdgeCase{0.0, 2.0},
                      EdgeCase{0.0, -2.0}, EdgeCase{2.5, -3.0}, EdgeCase{-1e300, 0.5},
                      EdgeCase{std::numeric_limits<double>::quiet_NaN(), 0.0},
                      EdgeCase{0.0, std::numeric_limits<double>::infinity()}));

TEST(SolutionCurve, RestPointGivesExactly1002Points)
{
    for (bool forward : {false, true}) {
        const Simulation sim = traced(forward, 0.0, 0.0);
        ASSERT_EQ(sim.getz2Data().size(), 1002u);
        for (std::size_t i = 0; i < sim.getz2Data().size(); ++i) {
            ASSERT_EQ(sim.getz2Data()[i], 0.0);
            ASSERT_EQ(sim.getw0Data()[i], 0.0);
        }
    }
}

TEST(SolutionCurve, StartsAtTheSeedAndStepsByAThousandth)
{
    Simulation sim = traced(false, 0.3, -0.2);
    EXPECT_EQ(sim.getz2Data()[0], 0.3);
    EXPECT_EQ(sim.getw0Data()[0], -0.2);
    EXPECT_EQ(sim.tauStep(), 0.001);

    Simulation step;
    step.initialize();
    step.setForwardTime(false);
    step.setTauStep(0.001);
    step.ruggaKettaMethod(0.3, 0.0, -0.2, 0.0);
    EXPECT_EQ(sim.getz2Data()[1], static_cast<double>(step.runState().z2));
    EXPECT_EQ(sim.getw0Data()[1], static_cast<double>(step.runState().w0));

    const auto n = sim.getz2Data().size();
    EXPECT_EQ(sim.getw0Data().size(), n);
    EXPECT_NEAR(static_cast<double>(sim.simTime()), (n - 1) * 0.001, 1e-9);
}

TEST(SolutionCurve, LeavingCurveEndsOnOrBeyondTheEdge)
{
    const Simulation sim = traced(false, 0.5, 0.5);
    const double z2 = sim.getz2Data().back();
    const double w0 = sim.getw0Data().back();
    EXPECT_TRUE(std::fabs(z2) >= 2.0 || std::fabs(w0) >= 2.0) << z2 << ", " << w0;
    const auto n = sim.getz2Data().size();
    ASSERT_GE(n, 2u);
    EXPECT_LT(std::fabs(sim.getz2Data()[n - 2]), 2.0);
    EXPECT_LT(std::fabs(sim.getw0Data()[n - 2]), 2.0);
}

// Near a stable node the curve settles long before step 1,001, but the rest
// test only starts there, and it compares consecutive points.
TEST(SolutionCurve, RestIsJudgedFromStep1001On)
{
    const Simulation sim = traced(false, -1.3333333730697632 + 1e-7, -0.6666666865348816);
    EXPECT_EQ(sim.getz2Data().size(), 1002u);
    const auto& z2 = sim.getz2Data();
    const auto& w0 = sim.getw0Data();
    const auto n = z2.size();
    EXPECT_LT(std::fabs(z2[n - 1] - z2[n - 2]), 1e-9);
    EXPECT_LT(std::fabs(w0[n - 1] - w0[n - 2]), 1e-9);
}

TEST(SolutionCurve, LeavesTheRunsOtherArraysAlone)
{
    Simulation sim;
    sim.initialize();
    sim.runSimulation();
    const auto w2 = sim.getw2Data();
    const auto time = sim.getTimeData();
    sim.setForwardTime(false);
    sim.setz2(0.1);
    sim.setw0(0.1);
    sim.buildSolnCurve();
    EXPECT_EQ(sim.getw2Data(), w2);
    EXPECT_EQ(sim.getTimeData(), time);
    EXPECT_NE(sim.getz2Data().size(), w2.size());
    EXPECT_FALSE(sim.forwardTime());
}

// The planar pair is closed: even a z4 that overflows on the first step
// leaves the traced (z2, w0) curve untouched.
TEST(SolutionCurve, PlanarCurveIgnoresZ4AndW2)
{
    const Simulation plain = traced(false, 0.5, 0.5);
    Simulation wild;
    wild.initialize();
    wild.setForwardTime(false);
    wild.setz2(0.5);
    wild.setz4(std::numeric_limits<double>::max());
    wild.setw0(0.5);
    wild.setw2(-1e200);
    wild.buildSolnCurve();
    EXPECT_EQ(wild.getz2Data(), plain.getz2Data());
    EXPECT_EQ(wild.getw0Data(), plain.getw0Data());
    EXPECT_FALSE(std::isfinite(static_cast<double>(wild.runState().z4)));
}

} // namespace

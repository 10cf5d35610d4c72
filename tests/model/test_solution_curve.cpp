#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using cosmophase::Simulation;

namespace {

Simulation traced(bool forward, double z2, double w0, double z4 = 0.0, double w2 = 0.0)
{
    Simulation sim;
    sim.initialize();
    sim.setForwardTime(forward);
    sim.setz2(z2);
    sim.setz4(z4);
    sim.setw0(w0);
    sim.setw2(w2);
    sim.buildSolnCurve();
    return sim;
}

TEST(SolutionCurve, StartOnOrOutsideTheOpenSquareTakesNoStep)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double starts[][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}, {2.5, -3}, {nan, 0}, {0, inf}};
    for (const auto& s : starts) {
        const Simulation sim = traced(true, s[0], s[1]);
        EXPECT_EQ(sim.getz2Data().size(), 1u) << s[0] << ", " << s[1];
        EXPECT_EQ(sim.getw0Data().size(), 1u);
    }
}

// At a rest point the curve still takes 1,001 steps: rest is judged only
// from step 1,001 on, comparing consecutive points. Near a stable node the
// same holds although the curve settles much earlier.
TEST(SolutionCurve, RestIsJudgedFromStep1001On)
{
    for (bool forward : {false, true}) {
        const Simulation sim = traced(forward, 0.0, 0.0);
        ASSERT_EQ(sim.getz2Data().size(), 1002u);
        EXPECT_EQ(sim.getz2Data().back(), 0.0);
    }
    const Simulation node = traced(false, -1.3333333730697632 + 1e-7, -0.6666666865348816);
    EXPECT_EQ(node.getz2Data().size(), 1002u);
}

TEST(SolutionCurve, StepsByAThousandthFromTheSeed)
{
    const Simulation sim = traced(false, 0.3, -0.2);
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
}

// The point that first leaves the square is kept and ends the curve.
TEST(SolutionCurve, LeavingCurveEndsOnOrBeyondTheEdge)
{
    const Simulation sim = traced(false, 0.5, 0.5);
    const auto& z2 = sim.getz2Data();
    const auto& w0 = sim.getw0Data();
    const auto n = z2.size();
    ASSERT_GE(n, 2u);
    EXPECT_TRUE(std::fabs(z2[n - 1]) >= 2.0 || std::fabs(w0[n - 1]) >= 2.0);
    EXPECT_TRUE(std::fabs(z2[n - 2]) < 2.0 && std::fabs(w0[n - 2]) < 2.0);
}

// The planar pair is closed: even a z4 that overflows leaves the traced
// (z2, w0) curve untouched, and the run's w2 and time samples stay as they were.
TEST(SolutionCurve, TouchesOnlyThePlanarArrays)
{
    Simulation sim;
    sim.initialize();
    sim.runSimulation();
    const auto w2 = sim.getw2Data();
    const auto time = sim.getTimeData();
    sim.setForwardTime(false);
    sim.setz2(0.5);
    sim.setz4(std::numeric_limits<double>::max());
    sim.setw0(0.5);
    sim.setw2(-1e200);
    sim.buildSolnCurve();
    EXPECT_EQ(sim.getw2Data(), w2);
    EXPECT_EQ(sim.getTimeData(), time);
    EXPECT_FALSE(std::isfinite(static_cast<double>(sim.runState().z4)));

    const Simulation plain = traced(false, 0.5, 0.5);
    EXPECT_EQ(sim.getz2Data(), plain.getz2Data());
    EXPECT_EQ(sim.getw0Data(), plain.getw0Data());
}

} // namespace

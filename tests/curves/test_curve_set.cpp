#include "CurveSet.h"

#include <gtest/gtest.h>

#include <cmath>

using cosmophase::Curve;
using cosmophase::CurveSet;

namespace {

class BuiltCurveSet : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        curves = new CurveSet;
        curves->initialize();
    }
    static void TearDownTestSuite() { delete curves; }
    static CurveSet* curves;
};
CurveSet* BuiltCurveSet::curves = nullptr;

// Each branch: its point count, its seed as point 0, and where it ends: past
// the right edge, or at the single-precision equilibrium (-4/3, w0).
TEST_F(BuiltCurveSet, ManifoldBranches)
{
    struct Branch {
        const Curve& curve;
        std::size_t points;
        double seedZ2, seedW0;
        bool leaves;
        double restW0;
    };
    const Branch branches[] = {
        {curves->stableLeave(), 11527, 9.8e-06, 2.4e-06, true, 0},
        {curves->stableRest(), 25938, -9.8e-06, -2.4e-06, false, -0.6666666865348816},
        {curves->unstableLeave(), 17211, 9.8e-06, -1.6e-06, true, 0},
        {curves->unstableRest(), 33157, -9.8e-06, 1.6e-06, false, 0.3333333432674408},
    };
    for (const Branch& b : branches) {
        SCOPED_TRACE(b.points);
        ASSERT_EQ(b.curve.x.size(), b.points);
        ASSERT_EQ(b.curve.y.size(), b.points);
        EXPECT_EQ(b.curve.x[0], b.seedZ2);
        EXPECT_EQ(b.curve.y[0], b.seedW0);
        if (b.leaves) {
            EXPECT_GE(b.curve.x.back(), 2.0);
            EXPECT_LT(b.curve.x[b.points - 2], 2.0);
        } else {
            EXPECT_NEAR(b.curve.x.back(), -1.3333333730697632, 1e-5);
            EXPECT_NEAR(b.curve.y.back(), b.restW0, 1e-5);
        }
    }
}

TEST_F(BuiltCurveSet, FamilyCurve)
{
    const Curve& family = curves->family();
    ASSERT_EQ(family.size(), 10454u);
    EXPECT_EQ(family.x[0], -4.0 / 3.0);
    EXPECT_EQ(family.y[0], -0.5897435897435896);
    EXPECT_NEAR(family.x.back(), 2.0055, 1e-4);
    EXPECT_NEAR(family.y.back(), 0.3426, 1e-4);
    for (std::size_t i = 0; i + 1 < family.size(); ++i)
        ASSERT_TRUE(std::fabs(family.x[i]) < 2 && std::fabs(family.y[i]) < 2) << i;
    // It passes through the origin at s = 1 (point 10,000).
    EXPECT_NEAR(family.x[10000], 0.0, 1e-9);
    EXPECT_NEAR(family.y[10000], 0.0, 1e-9);
}

// The trajectory must match the controller's run index for index, and each
// list is its own copy: later traces refill the Simulation's arrays.
TEST_F(BuiltCurveSet, TrajectoryMatchesAnIndependentRunAndListsAreCopies)
{
    cosmophase::Simulation controllerRun;
    controllerRun.initialize();
    controllerRun.runSimulation();
    EXPECT_EQ(curves->trajectory().x, controllerRun.getz2Data());
    EXPECT_EQ(curves->trajectory().y, controllerRun.getw0Data());

    const auto& sim = curves->simulation();
    EXPECT_EQ(sim.getz2Data(), curves->unstableRest().x);
    EXPECT_NE(curves->stableLeave().x, curves->unstableRest().x);
    EXPECT_TRUE(sim.forwardTime()) << "the direction field reads the model with the flag true";
}

TEST(CurveSet, RebuildYieldsTheSameLists)
{
    CurveSet a;
    EXPECT_FALSE(a.isBuilt());
    a.initialize();
    const Curve first = a.unstableLeave();
    a.initialize();
    EXPECT_EQ(a.unstableLeave().x, first.x);
    EXPECT_EQ(a.unstableLeave().y, first.y);
}

} // namespace

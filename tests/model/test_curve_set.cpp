#include "CurveSet.h"

#include <gtest/gtest.h>

#include <cmath>

using cosmophase::Curve;
using cosmophase::CurveSet;

namespace {

// The single-precision equilibria the rest branches approach.
constexpr double kEquilibriumZ2 = -1.3333333730697632;
constexpr double kLowerW0 = -0.6666666865348816;
constexpr double kUpperW0 = 0.3333333432674408;

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

struct Branch {
    const char* name;
    const Curve& (CurveSet::*get)() const;
    std::size_t points;
    double seedZ2;
    double seedW0;
};

class ManifoldBranch : public BuiltCurveSet, public ::testing::WithParamInterface<Branch> {};

TEST_P(ManifoldBranch, PointCountAndSeed)
{
    const Curve& c = (curves->*GetParam().get)();
    EXPECT_EQ(c.x.size(), GetParam().points);
    EXPECT_EQ(c.y.size(), GetParam().points);
    EXPECT_EQ(c.x[0], GetParam().seedZ2);
    EXPECT_EQ(c.y[0], GetParam().seedW0);
}

INSTANTIATE_TEST_SUITE_P(
    AllFour, ManifoldBranch,
    ::testing::Values(Branch{"stableLeave", &CurveSet::stableLeave, 11527, 9.8e-06, 2.4e-06},
                      Branch{"stableRest", &CurveSet::stableRest, 25938, -9.8e-06, -2.4e-06},
                      Branch{"unstableLeave", &CurveSet::unstableLeave, 17211, 9.8e-06, -1.6e-06},
                      Branch{"unstableRest", &CurveSet::unstableRest, 33157, -9.8e-06, 1.6e-06}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BuiltCurveSet, LeaveBranchesCrossTheRightEdge)
{
    for (const Curve* c : {&curves->stableLeave(), &curves->unstableLeave()}) {
        EXPECT_GE(c->x.back(), 2.0);
        EXPECT_LT(c->x[c->size() - 2], 2.0);
    }
}

TEST_F(BuiltCurveSet, RestBranchesSettleAtTheirEquilibria)
{
    EXPECT_NEAR(curves->stableRest().x.back(), kEquilibriumZ2, 1e-5);
    EXPECT_NEAR(curves->stableRest().y.back(), kLowerW0, 1e-5);
    EXPECT_NEAR(curves->unstableRest().x.back(), kEquilibriumZ2, 1e-5);
    EXPECT_NEAR(curves->unstableRest().y.back(), kUpperW0, 1e-5);
}

TEST_F(BuiltCurveSet, FamilyCurve)
{
    const Curve& family = curves->family();
    ASSERT_EQ(family.size(), 10454u);
    EXPECT_EQ(family.x[0], -4.0 / 3.0);
    EXPECT_EQ(family.y[0], -0.5897435897435896);
    EXPECT_GT(family.x.back(), 2.0);
    EXPECT_NEAR(family.x.back(), 2.0055, 1e-4);
    EXPECT_NEAR(family.y.back(), 0.3426, 1e-4);
    for (std::size_t i = 0; i + 1 < family.size(); ++i)
        ASSERT_TRUE(std::fabs(family.x[i]) < 2 && std::fabs(family.y[i]) < 2) << i;
    // It passes through the origin at s = 1 (point 10,000).
    EXPECT_NEAR(family.x[10000], 0.0, 1e-9);
    EXPECT_NEAR(family.y[10000], 0.0, 1e-9);
}

TEST_F(BuiltCurveSet, TrajectoryMatchesAnIndependentRun)
{
    cosmophase::Simulation controllerRun;
    controllerRun.initialize();
    controllerRun.runSimulation();
    EXPECT_EQ(curves->trajectory().x, controllerRun.getz2Data());
    EXPECT_EQ(curves->trajectory().y, controllerRun.getw0Data());
}

// Each list is its own copy: later traces clear the Simulation's arrays
// but not what was taken before.
TEST_F(BuiltCurveSet, ListsAreIndependentCopies)
{
    const auto& sim = curves->simulation();
    EXPECT_NE(curves->stableLeave().x.data(), sim.getz2Data().data());
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
    const Curve family = a.family();
    a.initialize();
    EXPECT_TRUE(a.isBuilt());
    EXPECT_EQ(a.unstableLeave().x, first.x);
    EXPECT_EQ(a.unstableLeave().y, first.y);
    EXPECT_EQ(a.family().x, family.x);
}

} // namespace

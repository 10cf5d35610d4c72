#include "Simulation.h"

#include <gtest/gtest.h>

#include <limits>

using cosmophase::Simulation;
using cosmophase::State;

namespace {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the model is defined in the x87 80-bit extended format");

TEST(InitialConditions, DefaultsAndDerivedStartingState)
{
    Simulation sim;
    sim.initialize();
    EXPECT_TRUE(sim.forwardTime());
    EXPECT_EQ(sim.temperatureInit(), 9000);
    EXPECT_EQ(sim.accelerationInit(), 0.999999426);

    const State init = sim.initState();
    EXPECT_EQ(init.z2, static_cast<long double>(-2.5511074501771702e-06));
    // z4, w0 and w2 carry extended precision; their double roundings are known.
    EXPECT_EQ(static_cast<double>(init.z4), -2.9479451285046927e-06);
    EXPECT_EQ(static_cast<double>(init.w0), -2.5511064738470424e-07);
    EXPECT_EQ(static_cast<double>(init.w2), -2.8912541336495953e-07);
    EXPECT_EQ(sim.timeInit(), 0.009980237365819834);
}

TEST(InitialConditions, ExtendedPrecisionIsKept)
{
    Simulation sim;
    sim.initialize();
    const State init = sim.initState();
    // Rounding z4 or w2 to double would lose bits. (w0 is a difference of
    // two nearby doubles, which is exact.)
    EXPECT_NE(init.z4, static_cast<long double>(static_cast<double>(init.z4)));
    EXPECT_EQ(init.w0, static_cast<long double>(static_cast<double>(init.w0)));
    EXPECT_NE(init.w2, static_cast<long double>(static_cast<double>(init.w2)));
}

TEST(InitialConditions, LastAcceptedStateEqualsStartingState)
{
    Simulation sim;
    sim.initialize();
    const State init = sim.initState();
    const State end = sim.endState();
    EXPECT_EQ(end.z2, init.z2);
    EXPECT_EQ(end.z4, init.z4);
    EXPECT_EQ(end.w0, init.w0);
    EXPECT_EQ(end.w2, init.w2);
}

TEST(InitialConditions, SecondInitializeReproducesEverything)
{
    Simulation sim;
    sim.initialize();
    const State first = sim.initState();
    const double firstTime = sim.timeInit();
    sim.setz2(0.75);
    sim.setForwardTime(false);
    sim.runSimulation();
    sim.initialize();
    const State again = sim.initState();
    EXPECT_EQ(again.z2, first.z2);
    EXPECT_EQ(again.z4, first.z4);
    EXPECT_EQ(again.w0, first.w0);
    EXPECT_EQ(again.w2, first.w2);
    EXPECT_EQ(sim.timeInit(), firstTime);
    EXPECT_TRUE(sim.forwardTime());
    EXPECT_TRUE(sim.getz2Data().empty());
    EXPECT_TRUE(sim.getTimeData().empty());
}

TEST(InitialConditions, SettersTouchOnlyTheStartingState)
{
    Simulation sim;
    sim.initialize();
    const State end = sim.endState();
    sim.setz2(0.5);
    sim.setz4(0.25);
    sim.setw0(-0.125);
    sim.setw2(1.0);
    const State init = sim.initState();
    EXPECT_EQ(init.z2, 0.5L);
    EXPECT_EQ(init.z4, 0.25L);
    EXPECT_EQ(init.w0, -0.125L);
    EXPECT_EQ(init.w2, 1.0L);
    EXPECT_EQ(sim.endState().z2, end.z2);
    EXPECT_EQ(sim.endState().w2, end.w2);
}

} // namespace

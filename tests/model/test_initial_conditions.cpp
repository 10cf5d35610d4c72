#include "Simulation.h"

#include <gtest/gtest.h>

using cosmophase::Simulation;
using cosmophase::State;

namespace {

void expectSameState(const State& a, const State& b)
{
    EXPECT_EQ(a.z2, b.z2);
    EXPECT_EQ(a.z4, b.z4);
    EXPECT_EQ(a.w0, b.w0);
    EXPECT_EQ(a.w2, b.w2);
}

TEST(InitialConditions, DefaultsAndDerivedStartingState)
{
    Simulation sim;
    sim.initialize();
    EXPECT_TRUE(sim.forwardTime());
    EXPECT_EQ(sim.temperatureInit(), 9000);
    EXPECT_EQ(sim.accelerationInit(), 0.999999426);

    const State init = sim.initState();
    EXPECT_EQ(init.z2, static_cast<long double>(-2.5511074501771702e-06));
    EXPECT_EQ(static_cast<double>(init.z4), -2.9479451285046927e-06);
    EXPECT_EQ(static_cast<double>(init.w0), -2.5511064738470424e-07);
    EXPECT_EQ(static_cast<double>(init.w2), -2.8912541336495953e-07);
    EXPECT_EQ(sim.timeInit(), 0.009980237365819834);
    // z4 and w2 keep extended precision; rounding them early changes the run.
    EXPECT_NE(init.z4, static_cast<long double>(static_cast<double>(init.z4)));
    EXPECT_NE(init.w2, static_cast<long double>(static_cast<double>(init.w2)));
    expectSameState(sim.endState(), init);
}

TEST(InitialConditions, SecondInitializeStartsAfreshAndSettersTouchOnlyTheStart)
{
    Simulation sim;
    sim.initialize();
    const State first = sim.initState();
    sim.setz2(0.5);
    sim.setz4(0.25);
    sim.setw0(-0.125);
    sim.setw2(1.0);
    const State set = sim.initState();
    EXPECT_EQ(set.z2, 0.5L);
    EXPECT_EQ(set.z4, 0.25L);
    EXPECT_EQ(set.w0, -0.125L);
    EXPECT_EQ(set.w2, 1.0L);
    expectSameState(sim.endState(), first);

    sim.setForwardTime(false);
    sim.runSimulation();
    sim.initialize();
    expectSameState(sim.initState(), first);
    EXPECT_EQ(sim.timeInit(), 0.009980237365819834);
    EXPECT_TRUE(sim.forwardTime());
    EXPECT_TRUE(sim.getz2Data().empty());
    EXPECT_TRUE(sim.getTimeData().empty());
}

} // namespace

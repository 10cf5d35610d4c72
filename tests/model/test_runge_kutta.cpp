#include "Simulation.h"

#include <gtest/gtest.h>

using cosmophase::Simulation;
using cosmophase::State;

namespace {

State step(bool forward, double tau, double z2, double z4, double w0, double w2)
{
    Simulation sim;
    sim.setForwardTime(forward);
    sim.setTauStep(tau);
    sim.ruggaKettaMethod(z2, z4, w0, w2);
    return sim.runState();
}

void expectState(const State& s, double z2, double z4, double w0, double w2)
{
    EXPECT_EQ(s.z2, static_cast<long double>(z2));
    EXPECT_EQ(s.z4, static_cast<long double>(z4));
    EXPECT_EQ(s.w0, static_cast<long double>(w0));
    EXPECT_EQ(s.w2, static_cast<long double>(w2));
}

TEST(RungeKutta, GoldenStepsInBothDirections)
{
    expectState(step(false, 0.001, 0.5, 0.25, -0.125, 1.0), 0.4993127862676665,
                0.24162755060595728, -0.1249427632211333, 0.9991602292748578);
    expectState(step(true, 0.001, 0.5, 0.25, -0.125, 1.0), 0.500687786649176,
                0.25837812969630675, -0.12505734658791687, 1.000839830069512);
}

// The flag negates the derivative exactly, so it is the same as a step of
// the opposite length.
TEST(RungeKutta, FlagEqualsNegatedStepBitForBit)
{
    const double points[][4] = {{0.5, 0.25, -0.125, 1.0}, {-1.2, 0.3, 0.9, -0.4}, {1.7, -1.1, -1.6, 0.05}};
    for (double tau : {1.0, 0.1, 1e-4, 3.7}) {
        for (const auto& p : points) {
            const State f = step(true, tau, p[0], p[1], p[2], p[3]);
            const State b = step(false, -tau, p[0], p[1], p[2], p[3]);
            expectState(f, static_cast<double>(b.z2), static_cast<double>(b.z4),
                        static_cast<double>(b.w0), static_cast<double>(b.w2));
        }
    }
}

TEST(RungeKutta, FixedPointsAndZeroStep)
{
    expectState(step(true, 0.0, 0.5, 0.25, -0.125, 1.0), 0.5, 0.25, -0.125, 1.0);
    for (bool forward : {false, true})
        for (double tau : {1.0, -0.5, 1e-3})
            expectState(step(forward, tau, 0, 0, 0, 0), 0, 0, 0, 0);
}

TEST(RungeKutta, OnlyTheArgumentsMatter)
{
    Simulation sim;
    sim.setForwardTime(false);
    sim.setTauStep(0.001);
    sim.ruggaKettaMethod(1.5, -1.5, 1.5, -1.5);
    sim.ruggaKettaMethod(0.5, 0.25, -0.125, 1.0);
    expectState(sim.runState(), 0.4993127862676665, 0.24162755060595728, -0.1249427632211333,
                0.9991602292748578);
}

} // namespace

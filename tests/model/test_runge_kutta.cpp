#include "Simulation.h"

#include <gtest/gtest.h>

using cosmophase::Simulation;
using cosmophase::State;

namespace {

struct StepCase {
    const char* name;
    bool forward;
    double tau;
    double z2, z4, w0, w2;
};

void expectState(const State& s, double z2, double z4, double w0, double w2)
{
    EXPECT_EQ(s.z2, static_cast<long double>(z2));
    EXPECT_EQ(s.z4, static_cast<long double>(z4));
    EXPECT_EQ(s.w0, static_cast<long double>(w0));
    EXPECT_EQ(s.w2, static_cast<long double>(w2));
}

Simulation stepped(bool forward, double tau, double z2, double z4, double w0, double w2)
{
    Simulation sim;
    sim.initialize();
    sim.setForwardTime(forward);
    sim.setTauStep(tau);
    sim.ruggaKettaMethod(z2, z4, w0, w2);
    return sim;
}

class RungeKuttaGolden : public ::testing::TestWithParam<StepCase> {};

TEST_P(RungeKuttaGolden, OneStepFromReferencePoint)
{
    const StepCase& c = GetParam();
    const Simulation sim = stepped(c.forward, c.tau, 0.5, 0.25, -0.125, 1.0);
    expectState(sim.runState(), c.z2, c.z4, c.w0, c.w2);
}

INSTANTIATE_TEST_SUITE_P(
    BothDirections, RungeKuttaGolden,
    ::testing::Values(
        StepCase{"backward", false, 0.001, 0.4993127862676665, 0.24162755060595728,
                 -0.1249427632211333, 0.9991602292748578},
        StepCase{"forward", true, 0.001, 0.500687786649176, 0.25837812969630675,
                 -0.12505734658791687, 1.000839830069512},
        // The flag negates the derivative exactly, so a negative step with the
        // flag clear is the forward step.
        StepCase{"negativeStep", false, -0.001, 0.500687786649176, 0.25837812969630675,
                 -0.12505734658791687, 1.000839830069512}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RungeKutta, FlagAndNegatedStepAgreeBitForBit)
{
    const double points[][4] = {{0.5, 0.25, -0.125, 1.0}, {-1.2, 0.3, 0.9, -0.4}, {1.7, -1.1, -1.6, 0.05}};
    for (double tau : {1.0, 0.1, 1e-4, 3.7}) {
        for (const auto& p : points) {
            const Simulation a = stepped(true, tau, p[0], p[1], p[2], p[3]);
            const Simulation b = stepped(false, -tau, p[0], p[1], p[2], p[3]);
            const State sa = a.runState();
            const State sb = b.runState();
            EXPECT_EQ(sa.z2, sb.z2);
            EXPECT_EQ(sa.z4, sb.z4);
            EXPECT_EQ(sa.w0, sb.w0);
            EXPECT_EQ(sa.w2, sb.w2);
        }
    }
}

TEST(RungeKutta, ZeroStepReturnsTheInput)
{
    const Simulation sim = stepped(true, 0.0, 0.5, 0.25, -0.125, 1.0);
    expectState(sim.runState(), 0.5, 0.25, -0.125, 1.0);
}

TEST(RungeKutta, OriginStaysAtOrigin)
{
    for (bool forward : {false, true})
        for (double tau : {1.0, -0.5, 1e-3})
            expectState(stepped(forward, tau, 0, 0, 0, 0).runState(), 0, 0, 0, 0);
}

TEST(RungeKutta, OnlyTheArgumentsMatter)
{
    Simulation sim;
    sim.initialize();
    sim.setForwardTime(false);
    sim.setTauStep(0.001);
    sim.ruggaKettaMethod(1.5, -1.5, 1.5, -1.5); // leaves an unrelated working state
    sim.ruggaKettaMethod(0.5, 0.25, -0.125, 1.0);
    expectState(sim.runState(), 0.4993127862676665, 0.24162755060595728, -0.1249427632211333,
                0.9991602292748578);
}

} // namespace

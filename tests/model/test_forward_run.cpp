#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using cosmophase::Simulation;
using cosmophase::State;

namespace {

Simulation runFrom(double w0)
{
    Simulation sim;
    sim.initialize();
    sim.setw0(w0);
    sim.runSimulation();
    return sim;
}

Simulation defaultRun()
{
    Simulation sim;
    sim.initialize();
    sim.runSimulation();
    return sim;
}

// Samples = accepted steps + 1, and time never runs backwards.
void expectConsistentRun(const Simulation& sim)
{
    const auto& stats = sim.runStats();
    const auto& time = sim.getTimeData();
    EXPECT_EQ(time.size(), static_cast<std::size_t>(stats.attemptedSteps - stats.rejectedSteps) + 1);
    EXPECT_EQ(sim.getz2Data().size(), time.size());
    EXPECT_EQ(sim.getw2Data().size(), time.size());
    for (std::size_t i = 1; i < time.size(); ++i)
        ASSERT_LE(time[i - 1], time[i]) << "at sample " << i;
    double tau = 1.0;
    for (const auto& change : stats.stepChanges)
        EXPECT_EQ(change.tau, tau = tau / 10);
}

TEST(ForwardRun, DefaultRun)
{
    const Simulation sim = defaultRun();
    expectConsistentRun(sim);
    EXPECT_EQ(sim.getTimeData().size(), 5923u);
    EXPECT_EQ(sim.runStats().attemptedSteps, 5922);
    EXPECT_EQ(sim.runStats().rejectedSteps, 0);
    const auto& changes = sim.runStats().stepChanges;
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[0].step, 17);
    EXPECT_EQ(changes[1].step, 29);
    EXPECT_EQ(changes[2].step, 262);
    EXPECT_EQ(changes[3].step, 2710);

    const auto& time = sim.getTimeData();
    EXPECT_EQ(time[0], sim.timeInit());
    EXPECT_EQ(time[1], sim.timeInit() + std::exp(1.0));
    EXPECT_EQ(time.back(), 13143589681.210569);
    EXPECT_NEAR(static_cast<double>(sim.simTime()), 23.2992, 1e-4);

    const State init = sim.initState();
    EXPECT_EQ(sim.getz2Data()[0], static_cast<double>(init.z2));
    EXPECT_EQ(sim.getw2Data()[0], static_cast<double>(init.w2));

    // The last sample is the first state past the target, and it is the
    // last accepted state.
    const State end = sim.endState();
    EXPECT_EQ(end.z2, static_cast<long double>(-1.14167269409682));
    EXPECT_EQ(end.w0, static_cast<long double>(0.24735296203618032));
    EXPECT_EQ(end.w2, static_cast<long double>(-0.34832431892374693));
    EXPECT_EQ(sim.getw0Data().back(), static_cast<double>(end.w0));
    const double last = sim.computeHubbleEquality(static_cast<double>(sim.simTime()));
    EXPECT_GE(last, 14379468419.811455);
    EXPECT_NEAR(last, 1.43800e10, 1e6);
}

TEST(ForwardRun, ReproducibleAndHandsOutLiveArrays)
{
    Simulation sim;
    sim.initialize();
    const auto& z2 = sim.getz2Data();
    EXPECT_TRUE(z2.empty());
    sim.runSimulation();
    const Simulation other = defaultRun();
    EXPECT_EQ(&z2, &sim.getz2Data());
    EXPECT_EQ(z2, other.getz2Data());
    EXPECT_EQ(sim.getw0Data(), other.getw0Data());
    EXPECT_EQ(sim.getw2Data(), other.getw2Data());
    EXPECT_EQ(sim.getTimeData(), other.getTimeData());
    sim.setw0(std::numeric_limits<double>::quiet_NaN());
    sim.runSimulation();
    EXPECT_EQ(z2.size(), 1u);
}

// A NaN initial equality value, or an infinite one (w0 = -2/3 zeroes the
// denominator), runs no step.
TEST(ForwardRun, DegenerateStartRunsNoStep)
{
    for (double w0 : {std::numeric_limits<double>::quiet_NaN(), -2.0 / 3.0}) {
        const Simulation sim = runFrom(w0);
        EXPECT_EQ(sim.runStats().attemptedSteps, 0) << w0;
        EXPECT_EQ(sim.getTimeData().size(), 1u);
    }
}

// Below w0 = -2/3 the equality value starts negative and every step is
// accepted, whatever its sign; without that rule the run would stop at once.
TEST(ForwardRun, NegativeStartAcceptsSteps)
{
    const Simulation sim = runFrom(-0.7);
    expectConsistentRun(sim);
    EXPECT_GT(sim.runStats().attemptedSteps, 0);
    EXPECT_EQ(sim.runStats().rejectedSteps, 0);
}

// From w0 = -0.66 the first unit step drives w0 below -2/3: it is rejected
// and the run resumes from the last accepted state, the derived start (the
// setter does not touch it), with step 0.1.
TEST(ForwardRun, RejectedStepRestoresLastAcceptedState)
{
    const Simulation sim = runFrom(-0.66);
    expectConsistentRun(sim);
    EXPECT_EQ(sim.runStats().rejectedSteps, 1);
    EXPECT_EQ(sim.runStats().stepChanges.at(0).step, 1);
    EXPECT_EQ(sim.getTimeData()[1], sim.timeInit() + std::exp(0.1));

    Simulation reference;
    reference.initialize();
    const State derived = reference.endState();
    reference.setTauStep(0.1);
    reference.ruggaKettaMethod(static_cast<double>(derived.z2), static_cast<double>(derived.z4),
                               static_cast<double>(derived.w0), static_cast<double>(derived.w2));
    EXPECT_EQ(sim.getz2Data()[1], static_cast<double>(reference.runState().z2));
    EXPECT_EQ(sim.getw0Data()[1], static_cast<double>(reference.runState().w0));
}

TEST(ForwardRun, RepeatedRejectionsKeepShrinkingTheStep)
{
    const Simulation sim = runFrom(-0.3);
    expectConsistentRun(sim);
    EXPECT_GT(sim.runStats().rejectedSteps, 1);
}

} // namespace

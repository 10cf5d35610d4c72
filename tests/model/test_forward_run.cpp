#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using cosmophase::Simulation;
using cosmophase::State;

namespace {

constexpr double kTarget = 14379468419.811455;

class DefaultRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sim = new Simulation;
        sim->initialize();
        sim->runSimulation();
    }
    static void TearDownTestSuite() { delete sim; }
    static Simulation* sim;
};
Simulation* DefaultRun::sim = nullptr;

TEST_F(DefaultRun, SampleAndStepCounts)
{
    EXPECT_EQ(sim->getz2Data().size(), 5923u);
    EXPECT_EQ(sim->getw0Data().size(), 5923u);
    EXPECT_EQ(sim->getw2Data().size(), 5923u);
    EXPECT_EQ(sim->getTimeData().size(), 5923u);
    EXPECT_EQ(sim->runStats().attemptedSteps, 5922);
    EXPECT_EQ(sim->runStats().rejectedSteps, 0);
}

TEST_F(DefaultRun, StepLengthDividedAfterSteps17_29_262_2710)
{
    const auto& changes = sim->runStats().stepChanges;
    ASSERT_EQ(changes.size(), 4u);
    const int steps[] = {17, 29, 262, 2710};
    double tau = 1.0;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        tau = tau / 10;
        EXPECT_EQ(changes[i].step, steps[i]);
        EXPECT_EQ(changes[i].tau, tau);
    }
    EXPECT_EQ(sim->tauStep(), tau);
}

TEST_F(DefaultRun, EndsJustPastHubbleEquality)
{
    const State end = sim->endState();
    EXPECT_EQ(end.z2, static_cast<long double>(-1.14167269409682));
    EXPECT_EQ(end.w0, static_cast<long double>(0.24735296203618032));
    EXPECT_EQ(end.w2, static_cast<long double>(-0.34832431892374693));
    EXPECT_EQ(sim->getTimeData().back(), 13143589681.210569);
    EXPECT_NEAR(static_cast<double>(sim->simTime()), 23.2992, 1e-4);

    // The last sample is the first past the target, and the last accepted
    // state is that sample.
    const double last = sim->computeHubbleEquality(static_cast<double>(sim->simTime()));
    EXPECT_GE(last, kTarget);
    EXPECT_NEAR(last, 1.43800e10, 1e6);
    EXPECT_EQ(sim->getz2Data().back(), static_cast<double>(end.z2));
    EXPECT_EQ(sim->getw0Data().back(), static_cast<double>(end.w0));
    EXPECT_EQ(sim->getw2Data().back(), static_cast<double>(end.w2));
}

TEST_F(DefaultRun, TimeSamples)
{
    const auto& time = sim->getTimeData();
    EXPECT_EQ(time[0], sim->timeInit());
    EXPECT_EQ(time[1], sim->timeInit() + std::exp(1.0));
    for (std::size_t i = 1; i < time.size(); ++i)
        ASSERT_LE(time[i - 1], time[i]) << "at sample " << i;
    EXPECT_GT(time[0], 0.0);
}

TEST_F(DefaultRun, FirstSampleIsTheStartingState)
{
    const State init = sim->initState();
    EXPECT_EQ(sim->getz2Data()[0], static_cast<double>(init.z2));
    EXPECT_EQ(sim->getw0Data()[0], static_cast<double>(init.w0));
    EXPECT_EQ(sim->getw2Data()[0], static_cast<double>(init.w2));
}

TEST(ForwardRun, ReproducibleAcrossObjects)
{
    Simulation a;
    a.initialize();
    a.runSimulation();
    Simulation b;
    b.initialize();
    b.runSimulation();
    EXPECT_EQ(a.getz2Data(), b.getz2Data());
    EXPECT_EQ(a.getw0Data(), b.getw0Data());
    EXPECT_EQ(a.getw2Data(), b.getw2Data());
    EXPECT_EQ(a.getTimeData(), b.getTimeData());
}

TEST(ForwardRun, GettersHandOutTheLiveArrays)
{
    Simulation sim;
    sim.initialize();
    const auto& z2 = sim.getz2Data();
    const auto& time = sim.getTimeData();
    EXPECT_TRUE(z2.empty());
    sim.runSimulation();
    EXPECT_EQ(&z2, &sim.getz2Data());
    EXPECT_EQ(z2.size(), 5923u);
    sim.setw0(std::numeric_limits<double>::quiet_NaN());
    sim.runSimulation();
    EXPECT_EQ(z2.size(), 1u);
    EXPECT_EQ(time.size(), 1u);
}

// An initial equality value that is NaN, or infinite because w0 = -2/3 makes
// the denominator vanish, runs no step at all.
TEST(ForwardRun, DegenerateStartRunsNoStep)
{
    for (double w0 : {std::numeric_limits<double>::quiet_NaN(), -2.0 / 3.0}) {
        Simulation sim;
        sim.initialize();
        sim.setw0(w0);
        sim.runSimulation();
        EXPECT_EQ(sim.runStats().attemptedSteps, 0) << "w0 = " << w0;
        EXPECT_EQ(sim.getTimeData().size(), 1u);
    }
}

// Below w0 = -2/3 the equality value starts negative; steps are then
// accepted whatever its sign.
TEST(ForwardRun, NegativeStartAcceptsSteps)
{
    Simulation sim;
    sim.initialize();
    sim.setw0(-0.7);
    sim.runSimulation();
    EXPECT_GT(sim.runStats().attemptedSteps, 0);
    EXPECT_EQ(sim.runStats().rejectedSteps, 0);
    EXPECT_EQ(sim.getTimeData().size(), static_cast<std::size_t>(sim.runStats().attemptedSteps) + 1);
}

// From w0 = -0.66 the first unit step drives w0 below -2/3: the step is
// rejected and the run restarts from the last accepted state, which is the
// derived starting state (the setter does not touch it), with step 0.1.
TEST(ForwardRun, RejectedStepRestoresLastAcceptedState)
{
    Simulation sim;
    sim.initialize();
    const State derived = sim.endState();
    sim.setw0(-0.66);
    sim.runSimulation();

    const auto& stats = sim.runStats();
    EXPECT_EQ(stats.rejectedSteps, 1);
    ASSERT_FALSE(stats.stepChanges.empty());
    EXPECT_EQ(stats.stepChanges[0].step, 1);
    EXPECT_EQ(stats.stepChanges[0].tau, 0.1);
    EXPECT_EQ(sim.getTimeData().size(),
              static_cast<std::size_t>(stats.attemptedSteps - stats.rejectedSteps) + 1);
    EXPECT_EQ(sim.getTimeData()[1], sim.timeInit() + std::exp(0.1));

    Simulation reference;
    reference.initialize();
    reference.setTauStep(0.1);
    reference.ruggaKettaMethod(static_cast<double>(derived.z2), static_cast<double>(derived.z4),
                               static_cast<double>(derived.w0), static_cast<double>(derived.w2));
    EXPECT_EQ(sim.getz2Data()[1], static_cast<double>(reference.runState().z2));
    EXPECT_EQ(sim.getw0Data()[1], static_cast<double>(reference.runState().w0));
}

TEST(ForwardRun, StepLengthOnlyShrinksByTen)
{
    Simulation sim;
    sim.initialize();
    sim.setw0(-0.3);
    sim.runSimulation();
    const auto& stats = sim.runStats();
    EXPECT_GT(stats.rejectedSteps, 1);
    double tau = 1.0;
    int previousStep = 0;
    for (const auto& change : stats.stepChanges) {
        tau = tau / 10;
        EXPECT_EQ(change.tau, tau);
        EXPECT_GE(change.step, previousStep);
        previousStep = change.step;
    }
    EXPECT_EQ(sim.getTimeData().size(),
              static_cast<std::size_t>(stats.attemptedSteps - stats.rejectedSteps) + 1);
    const auto& time = sim.getTimeData();
    for (std::size_t i = 1; i < time.size(); ++i)
        ASSERT_LE(time[i - 1], time[i]);
}

} // namespace

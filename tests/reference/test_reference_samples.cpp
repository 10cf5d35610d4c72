#include "ReferenceSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace cosmophase;

// The replayed sum is the run's own: each time sample is m_time_init +
// e^(that time) to the bit, and the last is the run's final sim time, also
// for runs that rejected steps (from w0 = -0.66 and -0.3).
TEST(ReferenceSamples, ModelTimesAreTheRunsOwn)
{
    for (const std::optional<double> w0 : {std::optional<double>(), std::optional(-0.66), std::optional(-0.3)}) {
        Simulation run;
        run.initialize();
        if (w0)
            run.setw0(*w0);
        run.runSimulation();
        const auto times = sampleModelTimes(run);
        const auto& years = run.getTimeData();
        ASSERT_EQ(times.size(), years.size());
        EXPECT_EQ(times.back(), run.simTime());
        for (std::size_t k = 1; k < times.size(); ++k)
            ASSERT_EQ(years[k], run.timeInit() + std::exp(static_cast<double>(times[k]))) << "sample " << k;
    }
}

TEST(ReferenceSamples, ReferenceAtEachSample)
{
    Simulation run;
    run.initialize();
    run.runSimulation();
    const auto times = sampleModelTimes(run);
    const ReferenceSolution reference(ReferenceStart::of(run), times.back());
    const ReferenceSamples samples = referenceAtSamples(reference, times);
    ASSERT_EQ(samples.q0.size(), times.size());
    // The start is the run's first sample; later the two part by the run's error.
    EXPECT_EQ(samples.z2.front(), run.getz2Data().front());
    EXPECT_NEAR(samples.w0.back(), run.getw0Data().back(), 1e-2);
    EXPECT_EQ(samples.q0[times.size() / 2], static_cast<double>(reference.valuesAt(times[times.size() / 2]).q0));
    // The reference's own elapsed years, which differ from the run's first
    // time sample: it starts at m_time_init + 1.
    ASSERT_EQ(samples.time.size(), times.size());
    EXPECT_EQ(samples.time.front(), static_cast<double>(run.timeInit() + 1.0L));
    EXPECT_EQ(samples.time.back(), static_cast<double>(run.timeInit() + std::exp(times.back())));
}

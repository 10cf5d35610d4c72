#include "SampleNavigator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using cosmophase::SampleNavigator;

namespace {

// Samples at 1, 10, 100 and 400 years: on the logarithmic axis the midpoint
// between 1 and 10 is sqrt(10), not 5.5.
const std::vector<double> kTimes{1, 10, 100, 400};

TEST(SampleNavigator, NearestOnTheLogarithmicAxis)
{
    const SampleNavigator samples(kTimes);
    const struct { double time; int index; } cases[] = {
        {1e-3, 0}, {1, 0}, {3.1, 0}, {3.2, 1}, {5.5, 1}, {10, 1}, {31, 1}, {32, 2},
        {199, 2}, {201, 3}, {400, 3}, {1e12, 3}, {-5, 0}, {NAN, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(samples.nearest(c.time), c.index) << c.time;
    EXPECT_EQ(SampleNavigator({}).nearest(5), -1);
}

TEST(SampleNavigator, StepsHoldAtTheEndsAndPercentsFollowTheSlider)
{
    const SampleNavigator samples(kTimes);
    const struct { int from, delta, to; } steps[] = {{0, 1, 1}, {1, -1, 0}, {0, -1, 0}, {3, 1, 3}, {-7, 0, 0},
                                                    {2, 2147483647, 3}, {2, -2147483647, 0}};
    for (const auto& s : steps)
        EXPECT_EQ(samples.step(s.from, s.delta), s.to) << s.from << " + " << s.delta;
    EXPECT_DOUBLE_EQ(samples.percentOf(1), 2.5);
    EXPECT_DOUBLE_EQ(samples.percentOf(3), 100);
    EXPECT_EQ(samples.percentOf(4), 0);
    EXPECT_EQ(SampleNavigator({}).step(0, 1), -1);
}

} // namespace

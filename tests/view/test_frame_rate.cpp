#include "FrameRate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

using cosmophase::elapsedMilliseconds;
using cosmophase::framesPerSecond;
using cosmophase::microsSinceProgramStart;

namespace {

class FramesPerSecond : public testing::TestWithParam<std::tuple<std::int64_t, int>> {};

TEST_P(FramesPerSecond, FromElapsedMicroseconds)
{
    const auto [micros, fps] = GetParam();
    EXPECT_EQ(framesPerSecond(micros), fps) << micros << " us";
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, FramesPerSecond,
    testing::Values(std::make_tuple(3000, 333),       // 3 ms
                    std::make_tuple(2500, 500),       // truncated to 2 ms
                    std::make_tuple(999, 1000),       // 0 ms counts as 1000 fps
                    std::make_tuple(0, 1000),
                    std::make_tuple(1000, 1000),
                    std::make_tuple(1999, 1000),
                    std::make_tuple(2000, 500),
                    std::make_tuple(16667, 62),       // one 60 Hz refresh
                    std::make_tuple(1000000, 1),
                    std::make_tuple(1500000, 0),      // slower than 1 fps reads 0
                    std::make_tuple(-999, 1000),      // truncation is toward zero
                    std::make_tuple(-5000, 1000)));   // never divides by a negative

TEST(ElapsedMilliseconds, TruncatesTowardZero)
{
    EXPECT_EQ(elapsedMilliseconds(3999), 3);
    EXPECT_EQ(elapsedMilliseconds(-1999), -1);
    EXPECT_EQ(elapsedMilliseconds(INT64_C(2000000000000)), 2000000000);
}

TEST(ProgramClock, StartsAtProgramStartAndNeverGoesBack)
{
    const std::int64_t first = microsSinceProgramStart();
    const std::int64_t second = microsSinceProgramStart();
    EXPECT_GE(first, 0);
    EXPECT_GE(second, first);
    // Read at static initialisation, so a test process is well under a minute old.
    EXPECT_LT(first, INT64_C(60000000));
}

} // namespace

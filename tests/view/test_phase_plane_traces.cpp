#include "PhasePlaneTraces.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace cosmophase;

namespace {

// Trace k is told apart by its starting z2.
SolutionTrace numbered(int k)
{
    return {static_cast<double>(k), 0.5, Curve{{static_cast<double>(k)}, {0.5}}, Curve{{static_cast<double>(k)}, {0.5}}};
}

// After `added` traces and `undone` undos: how many are kept, and the
// numbers of the oldest and the newest.
class TraceLimit : public testing::TestWithParam<std::tuple<int, int, std::size_t, int, int>> {};

TEST_P(TraceLimit, KeepsTheNewestHundredAndUndoesNewestFirst)
{
    const auto [added, undone, kept, oldest, newest] = GetParam();
    PhasePlaneTraces traces;
    for (int k = 1; k <= added; ++k)
        traces.add(numbered(k));
    for (int k = 0; k < undone; ++k)
        EXPECT_EQ(traces.undoNewest(), k < added);
    ASSERT_EQ(traces.size(), kept);
    if (kept > 0) {
        EXPECT_EQ(traces.traces().front().z2, oldest);
        EXPECT_EQ(traces.traces().back().z2, newest);
        EXPECT_EQ(traces.traces().back().forward.x.front(), newest); // whole traces move, halves included
    }
    traces.clear();
    EXPECT_TRUE(traces.empty() && !traces.undoNewest());
}

INSTANTIATE_TEST_SUITE_P(
    Counts, TraceLimit,
    testing::Values(std::make_tuple(0, 1, 0, 0, 0), std::make_tuple(3, 0, 3, 1, 3), std::make_tuple(3, 1, 2, 1, 2),
                    std::make_tuple(100, 0, 100, 1, 100), std::make_tuple(101, 0, 100, 2, 101),
                    std::make_tuple(250, 0, 100, 151, 250), std::make_tuple(101, 1, 99, 2, 100),
                    std::make_tuple(2, 5, 0, 0, 0)));

} // namespace

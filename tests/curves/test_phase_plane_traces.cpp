#include "PhasePlaneTraces.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace cosmophase;

namespace {

// After `added` traces (trace k starts at z2 = k) and `undone` undos: how
// many are kept, and the oldest and newest kept.
class TraceLimit : public testing::TestWithParam<std::tuple<int, int, std::size_t, double, double>> {};

TEST_P(TraceLimit, KeepsTheNewestHundredAndUndoesNewestFirst)
{
    const auto [added, undone, kept, oldest, newest] = GetParam();
    PhasePlaneTraces traces;
    for (int k = 1; k <= added; ++k)
        traces.add({double(k), 0.5, Curve{{double(k)}, {0.5}}, Curve{{double(k)}, {0.5}}});
    for (int k = 0; k < undone; ++k)
        EXPECT_EQ(traces.undoNewest(), k < added);
    ASSERT_EQ(traces.size(), kept);
    if (kept > 0)
        EXPECT_TRUE(traces.traces().front().z2 == oldest && traces.traces().back().forward.x[0] == newest);
    // Clearing is undone as one step, and only until the next trace.
    traces.clear();
    EXPECT_TRUE(traces.empty());
    EXPECT_EQ(traces.undoNewest(), kept > 0);
    EXPECT_EQ(traces.size(), kept);
    traces.clear();
    traces.add({0.0, 0.5, Curve{{0.0}, {0.5}}, Curve{{0.0}, {0.5}}});
    EXPECT_TRUE(traces.undoNewest() && traces.empty() && !traces.undoNewest());
}

INSTANTIATE_TEST_SUITE_P(Counts, TraceLimit,
                         testing::Values(std::make_tuple(0, 1, 0, 0, 0), std::make_tuple(3, 1, 2, 1, 2),
                                         std::make_tuple(100, 0, 100, 1, 100), std::make_tuple(101, 0, 100, 2, 101),
                                         std::make_tuple(250, 0, 100, 151, 250), std::make_tuple(101, 1, 99, 2, 100),
                                         std::make_tuple(2, 5, 0, 0, 0)));

// Redo does again what undo undid, the last undo first, until a new edit.
TEST(TraceHistory, RedoReplaysUndoneEditsUntilTheNextEdit)
{
    PhasePlaneTraces traces;
    const auto trace = [](double z2) { return SolutionTrace{z2, 0.5, Curve{{z2}, {0.5}}, Curve{{z2}, {0.5}}}; };
    const auto starts = [&traces] {
        std::vector<double> z2;
        for (const SolutionTrace& t : traces.traces())
            z2.push_back(t.z2);
        return z2;
    };
    traces.add(trace(1));
    traces.add(trace(2));
    traces.clear();
    EXPECT_TRUE(traces.undoRestoresCleared() && !traces.canRedo());
    EXPECT_TRUE(traces.undoNewest() && traces.undoNewest()); // both back, then the newest gone
    EXPECT_EQ(starts(), std::vector<double>{1});
    EXPECT_TRUE(traces.canRedo() && !traces.redoClears() && traces.redo());
    EXPECT_EQ(starts(), (std::vector<double>{1, 2}));
    EXPECT_TRUE(traces.redoClears() && traces.redo() && traces.empty() && traces.undoRestoresCleared());
    EXPECT_FALSE(traces.redo());
    EXPECT_TRUE(traces.undoNewest());
    traces.add(trace(3)); // a new trace ends what could be redone
    EXPECT_TRUE(!traces.canRedo() && !traces.redo());
    EXPECT_EQ(starts(), (std::vector<double>{1, 2, 3}));
}

} // namespace

#include "PhasePlaneTraces.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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
    if (kept > 0) {
        EXPECT_TRUE(traces.traces().front().z2 == oldest && traces.traces().back().forward.x[0] == newest);
    }
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

// A snapshot (what the view draws) is the list itself, not a copy, and no
// later edit changes it: each edit copies a list still shared.
TEST(TraceSnapshot, IsTheListAndNoLaterEditChangesIt)
{
    PhasePlaneTraces traces;
    const auto startsOf = [](const std::vector<SolutionTrace>& list) {
        std::vector<double> z2;
        for (const SolutionTrace& t : list)
            z2.push_back(t.z2);
        return z2;
    };
    // a: add, u: undo, r: redo, c: clear; enough adds to drop the oldest.
    const std::string script = std::string(101, 'a') + "uurcuaucurr";
    std::vector<std::pair<std::shared_ptr<const std::vector<SolutionTrace>>, std::vector<double>>> taken;
    double next = 0;
    for (char edit : script) {
        const auto snapshot = traces.snapshot();
        ASSERT_EQ(snapshot.get(), &traces.traces());
        taken.emplace_back(snapshot, startsOf(*snapshot));
        switch (edit) {
        case 'a': traces.add({next, 0.5, Curve{{next}, {0.5}}, Curve{{next}, {0.5}}}), ++next; break;
        case 'u': traces.undoNewest(); break;
        case 'r': traces.redo(); break;
        case 'c': traces.clear(); break;
        }
    }
    for (std::size_t i = 0; i < taken.size(); ++i)
        EXPECT_EQ(startsOf(*taken[i].first), taken[i].second) << "before edit " << i << ": " << script[i];
}

} // namespace

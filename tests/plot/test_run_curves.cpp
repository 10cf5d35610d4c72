// Pinned runs and family members as the plane draws them: the family's
// colours by log10(1 - q), their layout for a window and picking a member.
#include "RunCurves.h"

#include <gtest/gtest.h>

#include <memory>

using namespace cosmophase;
using namespace cosmophase::plot;

namespace {

bool sameColour(Colour a, Colour b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

std::shared_ptr<const Curve> line(double fromX, double toX, double y, int points = 101)
{
    Curve curve;
    for (int i = 0; i < points; ++i) {
        curve.x.push_back(fromX + (toX - fromX) * i / (points - 1));
        curve.y.push_back(y);
    }
    return std::make_shared<const Curve>(std::move(curve));
}

} // namespace

TEST(FamilyColours, GridEndsTakeTheColourMapsEnds)
{
    const FamilyScale scale = familyScaleOf({0.999999999, 0.99999, 0.999});
    // 1 - q of a q typed to nine places is 1e-9 to about eight digits.
    EXPECT_NEAR(scale.low, -9, 1e-7);
    EXPECT_NEAR(scale.high, -3, 1e-7);
    const struct {
        double q;
        double position;
    } cases[] = {
        {0.999999999, 0},   // the smallest 1 - q: dark violet
        {0.999, 1},         // the largest: green-yellow
        {0.999999, 0.5},    // 1 - q = 1e-6, half way in log10
        {1.001, 1},         // above 1, placed by its distance from 1
        {0.9, 1},           // beyond the scale: held to its end
    };
    for (const auto& c : cases)
        EXPECT_NEAR(familyPosition(c.q, scale), c.position, 1e-8) << c.q;
    EXPECT_TRUE(sameColour(familyColour(0), {68 / 255.0f, 1 / 255.0f, 84 / 255.0f}));
    // Never viridis' pale yellow, which would not read on white.
    const Colour top = familyColour(1);
    EXPECT_LT(top.red + top.green + top.blue, 2.0f);
    EXPECT_TRUE(sameColour(familyColour(2), top));
    // A family of one q sits in the middle.
    EXPECT_EQ(familyPosition(0.9999, familyScaleOf({0.9999})), 0.5);
}

TEST(RunCurves, LaidOutForTheWindowAndPickedByNearness)
{
    RunCurves runs;
    runs.family.push_back({"a", familyColour(0), true, 0.9, line(-1.5, 1.5, 0), {}});
    runs.family.push_back({"b", familyColour(1), true, 0.99, line(-1.5, 1.5, 0.5), {}});
    runs.pinned.push_back({"p", pinnedRunColour(0), true, 0.999, line(5, 6, 5), {}});
    runs.layOut(PlotWindow{});
    // A straight line is its two ends.
    ASSERT_EQ(runs.family[0].strips.size(), 1u);
    EXPECT_EQ(runs.family[0].strips[0].size(), 2u);
    EXPECT_EQ(runs.familyMemberNear({0.3, 0.49}, 0.02), 1);
    EXPECT_EQ(runs.familyMemberNear({0.3, 0.03}, 0.02), -1);
    EXPECT_EQ(runs.familyMemberNear({0.3, 0.01}, 0.02), 0);
    // One draw call's segments: each member's, in order, in its colour.
    ASSERT_EQ(runs.familySegments.vertices.size(), 4u);
    EXPECT_TRUE(sameColour(runs.familySegments.colours[3], familyColour(1)));
    EXPECT_EQ(runs.familySegments.vertices[2].y, 0.5);
    runs.family[0].shown = false;
    EXPECT_EQ(runs.familyMemberNear({0.3, 0.01}, 0.02), -1);
    runs.layOut(PlotWindow{}, runs);
    ASSERT_EQ(runs.familySegments.vertices.size(), 2u);
    EXPECT_EQ(runs.familySegments.vertices[0].y, 0.5);

    // Zoomed, cut to the window: the pinned run far outside draws nothing.
    runs.layOut(PlotWindow::centredAt({0, 0.5}, 0.25));
    EXPECT_TRUE(runs.pinned[0].strips.empty());
    ASSERT_EQ(runs.family[1].strips.size(), 1u);
    EXPECT_LE(runs.family[1].strips[0].front().x, -0.25);
    EXPECT_GE(runs.family[1].strips[0].back().x, 0.25);
}

TEST(RunCurves, PinnedColoursAreDistinctAndCycle)
{
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = i + 1; j < 8; ++j)
            EXPECT_FALSE(sameColour(pinnedRunColour(i), pinnedRunColour(j))) << i << " " << j;
    EXPECT_TRUE(sameColour(pinnedRunColour(8), pinnedRunColour(0)));
    EXPECT_EQ(runLabel(0.9999, 9000), "q = 0.9999, T = 9000");
}

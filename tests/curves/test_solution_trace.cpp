#include "SolutionTrace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace cosmophase;

namespace {

bool sameBits(const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// The tracer as a client drives it by hand, on a Simulation that has had its
// initial conditions and forward run.
Curve byHand(Simulation& sim, bool forward, double z2, double w0)
{
    sim.setForwardTime(forward);
    sim.setz2(z2), sim.setz4(0.0), sim.setw0(w0), sim.setw2(0.0);
    sim.buildSolnCurve();
    return {sim.getz2Data(), sim.getw0Data()};
}

struct Seed {
    const char* name;
    double z2, w0;
    std::size_t points; // in each half; 0: only more than one
};

const Seed kSeeds[] = {
    {"Interior", 0.5, -0.25, 0},
    {"NearTheNodes", -1.2, 0.1, 0},
    // Comes to rest far from its seed, after thousands of steps.
    {"AlongTheStableBranch", -9.8e-06, -2.4e-06, 0},
    {"NearTheCorner", -1.8, -1.6, 0},
    {"NegativeZero", -0.0, 0.75, 0},
    {"Origin", 0, 0, 1002},
    {"OnTheEdge", 2, 0.5, 1},
    {"Outside", -3, 7, 1},
    {"NotANumber", std::numeric_limits<double>::quiet_NaN(), 0, 1},
};

class SolutionTraceThrough : public ::testing::TestWithParam<Seed> {};

} // namespace

TEST_P(SolutionTraceThrough, HalvesAreTheTracerBothWaysFromTheSeed)
{
    const Seed& seed = GetParam();
    const SolutionTrace trace = traceThrough(seed.z2, seed.w0);
    Simulation sim;
    sim.initialize();
    sim.runSimulation();
    const Curve forward = byHand(sim, true, seed.z2, seed.w0);
    const Curve backward = byHand(sim, false, seed.z2, seed.w0);

    EXPECT_TRUE(sameBits({trace.z2, trace.w0}, {seed.z2, seed.w0}));
    for (const Curve* half : {&trace.forward, &trace.backward}) {
        ASSERT_FALSE(half->empty());
        EXPECT_TRUE(sameBits({half->x[0], half->y[0]}, {seed.z2, seed.w0}));
    }
    EXPECT_TRUE(sameBits(trace.forward.x, forward.x) && sameBits(trace.forward.y, forward.y));
    EXPECT_TRUE(sameBits(trace.backward.x, backward.x) && sameBits(trace.backward.y, backward.y));
    if (seed.points != 0) {
        EXPECT_EQ(trace.forward.size(), seed.points);
        EXPECT_EQ(trace.backward.size(), seed.points);
    } else {
        ASSERT_TRUE(trace.forward.size() > 1 && trace.backward.size() > 1);
        // The two halves are different curves, not one run twice.
        EXPECT_NE(trace.forward.x[1], trace.backward.x[1]);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SolutionTraceThrough, ::testing::ValuesIn(kSeeds),
                         [](const auto& info) { return std::string(info.param.name); });

// A family's runs are the window's runs at their parameters, bit for bit,
// in grid order whatever the number of workers.
#include "FamilyRuns.h"
#include "Simulation.h"

#include <gtest/gtest.h>

using namespace cosmophase;
using namespace cosmophase::studies;

TEST(FamilyRuns, EveryRunIsTheWindowsRunInGridOrder)
{
    const GridParse grid = GridParse::acceleration("0.9999,0.999999426,1.2,1.4");
    ASSERT_TRUE(grid.grid) << grid.error;
    for (unsigned threads : {1u, 2u, 3u}) {
        std::vector<FamilyRun> runs;
        const bool complete = computeFamily(*grid.grid, 12000, threads, [&runs](std::size_t index, FamilyRun&& run) {
            EXPECT_EQ(index, runs.size());
            runs.push_back(std::move(run));
            return true;
        });
        ASSERT_TRUE(complete);
        ASSERT_EQ(runs.size(), 4u);
        for (std::size_t i = 0; i < 3; ++i) {
            Simulation simulation;
            simulation.initialize({(*grid.grid)[i], 12000});
            ASSERT_EQ(simulation.runSimulationBounded(), RunStatus::Ok);
            EXPECT_EQ(runs[i].status, RunStatus::Ok);
            EXPECT_EQ(runs[i].z2, simulation.getz2Data()) << i;
            EXPECT_EQ(runs[i].w0, simulation.getw0Data()) << i;
        }
        // Beyond sqrt(7)/2: refused, with nothing to draw.
        EXPECT_EQ(runs[3].status, RunStatus::Domain);
        EXPECT_TRUE(runs[3].z2.empty());
    }
}

TEST(FamilyRuns, StopsWhenAsked)
{
    const GridParse grid = GridParse::acceleration("0.999999999:0.999:20:log");
    ASSERT_TRUE(grid.grid);
    std::size_t handed = 0;
    EXPECT_FALSE(computeFamily(*grid.grid, 9000, 2, [&handed](std::size_t, FamilyRun&&) { return ++handed < 3; }));
    EXPECT_EQ(handed, 3u);
}

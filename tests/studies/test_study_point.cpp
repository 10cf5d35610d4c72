#include "StudyPoint.h"
#include "SweepFormat.h"

#include <gtest/gtest.h>

#include <thread>

using namespace cosmophase;

namespace {

std::string rowOf(const RunParameters& parameters)
{
    std::string row;
    studies::appendSweepCsvRow(row, studies::computeStudyPoint(parameters, true), true);
    return row;
}

} // namespace

// A thread reuses its simulation from row to row: a row is the same bytes
// whatever came before it on that thread, a spent step budget included.
TEST(StudyPoint, ARowDoesNotDependOnTheRowsBeforeIt)
{
    const RunParameters rows[] = {{0.9, 1000}, {1.3113, 9000}, {0.999999426, 9000}, {0.99999, 40000}};
    std::vector<std::string> fresh;
    for (const RunParameters& p : rows) {
        std::thread([&] { fresh.push_back(rowOf(p)); }).join();
    }
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rowOf(rows[i]), fresh[i]) << "row " << i;
    EXPECT_EQ(rowOf(rows[0]), fresh[0]) << "again, after the others";
    EXPECT_NE(fresh[1].find(",budget,"), std::string::npos) << fresh[1];
}

#include "Accuracy.h"
#include "Observables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <utility>

using namespace cosmophase;

TEST(Accuracy, CorrectDigits)
{
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    struct Case {
        long double value, reference, digits;
    } const cases[] = {
        {1.0L, 1.0L, 17},       {1.0005L, 1.0L, 3},       {-0.42505L, -0.42571L, 2},
        {0.5L, 1.0L, 0},        {13143589681.0L, 13154298000.0L, 3},
        {1.0L + 1e-18L, 1.0L, 17}, {20.0L, 1.0L, -2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(correctDigits(c.value, c.reference), c.digits) << static_cast<double>(c.value);
    for (const auto& [value, reference] : {std::pair{nan, 1.0L}, {1.0L, nan}, {1.0L, 0.0L}})
        EXPECT_TRUE(std::isnan(correctDigits(value, reference)));
}

// The run side of each row is what summary and the read-outs show.
TEST(Accuracy, RowsPairTheRunsLastSampleWithThePresentDay)
{
    Simulation run;
    run.initialize();
    run.runSimulation();
    run.computeRedShiftVsLuminosity();
    const auto presentDay = referencePresentDay(ReferenceStart::of(run));
    ASSERT_TRUE(presentDay);
    const auto rows = accuracyRows(run, *presentDay);
    const State end = run.endState();
    const struct {
        const char* quantity;
        double run;
        long double reference;
    } expected[] = {
        {"model_time", static_cast<double>(run.simTime()), presentDay->modelTime},
        {"elapsed_years", run.getTimeData().back(), presentDay->elapsedYears},
        {"z2", static_cast<double>(end.z2), presentDay->state.z2},
        {"w0", static_cast<double>(end.w0), presentDay->state.w0},
        {"w2", static_cast<double>(end.w2), presentDay->state.w2},
        {"q0", run.q0(), presentDay->q0},
        {"xi0", run.xi0(), presentDay->xi0},
        {"density_ratio", densityRatio(end.z2), presentDay->densityRatio},
    };
    ASSERT_EQ(rows.size(), std::size(expected));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].quantity, expected[i].quantity);
        EXPECT_EQ(rows[i].run, expected[i].run) << expected[i].quantity;
        EXPECT_EQ(rows[i].reference, expected[i].reference) << expected[i].quantity;
    }
}

#include "Accuracy.h"
#include "KnownPresentDay.h"

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

// Each row pairs the run's last sample with the reference's present day,
// both checked against values known from outside this program.
TEST(Accuracy, RowsAgreeWithAnIndependentIntegrationOfTheDefaultRun)
{
    Simulation run;
    run.initialize();
    run.runSimulation();
    const auto presentDay = referencePresentDay(ReferenceStart::of(run));
    ASSERT_TRUE(presentDay);
    const auto rows = accuracyRows(run, *presentDay);
    ASSERT_EQ(rows.size(), std::size(kKnownPresentDay));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const KnownPresentDay& known = kKnownPresentDay[i];
        SCOPED_TRACE(known.quantity);
        EXPECT_EQ(rows[i].quantity, known.quantity);
        EXPECT_EQ(rows[i].run, known.run);
        EXPECT_LE(std::fabs(rows[i].reference - known.reference), kReferenceTolerance * std::fabs(known.reference));
        EXPECT_EQ(rows[i].digits(), known.digits);
    }
}

#include "FpContractProbe.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

static_assert(std::numeric_limits<long double>::digits == 64, "x87 extended long double");
static_assert(std::numeric_limits<long double>::max_exponent == 16384, "15-bit exponent");

// (1 + 2^-30)(1 - 2^-30) = 1 - 2^-60 rounds to 1 in double, so a separately
// rounded a*b + c is exactly 0; a fused multiply-add would give -2^-60.
TEST(BuildFlags, ModelIsCompiledWithoutContraction)
{
    volatile double a = 1.0 + 0x1p-30;
    volatile double b = 1.0 - 0x1p-30;
    volatile double c = -1.0;
    EXPECT_EQ(cosmophase::contractionProbe(a, b, c), 0.0);
}

} // namespace

#include "ReferenceField.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cosmophase;

// The long double field is the model's field: a wrong coefficient, sign or
// grouping shows far above the double rounding the two differ by.
TEST(ReferenceField, MatchesTheModelsRightHandSides)
{
    const ReferenceVector points[] = {
        {0.5L, 0.25L, -0.125L, 1.0L},
        {-1.1417L, 1.4263L, 0.24735L, -0.34832L},
        {-2.5511e-6L, -2.9479e-6L, -2.5511e-7L, -2.8913e-7L},
        {1.75L, -0.5L, -1.9L, 0.3L},
    };
    for (const bool forward : {true, false}) {
        Simulation model;
        model.setForwardTime(forward);
        for (const ReferenceVector& x : points) {
            const double z2 = x[0], z4 = x[1], w0 = x[2], w2 = x[3];
            const double expected[] = {model.z2ODE(z2, z4, w0, w2), model.z4ODE(z2, z4, w0, w2),
                                       model.w0ODE(z2, z4, w0, w2), model.w2ODE(z2, z4, w0, w2)};
            ReferenceVector rate{};
            ReferenceField{forward}(x, rate, 0);
            for (int i = 0; i < 4; ++i)
                EXPECT_NEAR(static_cast<double>(rate[i]), expected[i], 1e-14 * (1 + std::fabs(expected[i])))
                    << "variable " << i << " at z2=" << z2 << ", forward=" << forward;
        }
    }
}

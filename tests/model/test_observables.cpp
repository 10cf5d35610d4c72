#include "Observables.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

using cosmophase::densityRatio;
using cosmophase::presentDayParameters;
using cosmophase::Simulation;

namespace {

std::string fixed3(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%0.3f", v);
    return buffer;
}

TEST(PresentDay, AtTheOrigin)
{
    const auto p = presentDayParameters(0.0, 0.0, 0.0);
    EXPECT_EQ(p.q0, 0.25);
    EXPECT_EQ(p.xi0, -0.125);
}

class DefaultRunObservables : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim.initialize();
        sim.runSimulation();
    }
    Simulation sim;
};

TEST_F(DefaultRunObservables, FirstSample)
{
    const auto p = presentDayParameters(sim.getz2Data()[0], sim.getw0Data()[0], sim.getw2Data()[0]);
    EXPECT_EQ(p.q0, 0.24999913900090323);
    EXPECT_EQ(p.xi0, -0.12499873719975281);
    EXPECT_EQ(fixed3(p.q0), "0.250");
    EXPECT_EQ(fixed3(p.xi0), "-0.125");
}

TEST_F(DefaultRunObservables, LastSampleAgreesWithTheModelsOwnForm)
{
    sim.computeRedShiftVsLuminosity();
    EXPECT_EQ(sim.q0(), 0.42504950285325205);
    EXPECT_EQ(sim.xi0(), 0.3586022736132678);

    const auto p = presentDayParameters(sim.getz2Data().back(), sim.getw0Data().back(),
                                        sim.getw2Data().back());
    EXPECT_EQ(p.q0, sim.q0());
    EXPECT_EQ(p.xi0, sim.xi0());
    EXPECT_EQ(fixed3(p.q0), "0.425");
    EXPECT_EQ(fixed3(p.xi0), "0.359");
}

TEST_F(DefaultRunObservables, DensityRatioUsesSinglePrecisionFourThirds)
{
    const long double z2 = sim.getz2Data()[0];
    char text[64];
    std::snprintf(text, sizeof text, "D Ratio = %0.8f", densityRatio(z2));
    EXPECT_STREQ(text, "D Ratio = 0.99999812");
    // The double nearest 4/3 would have shown 0.99999809.
    std::snprintf(text, sizeof text, "%0.8f", (3 * static_cast<double>(z2 + 4.0L / 3.0L)) / 4);
    EXPECT_STREQ(text, "0.99999809");
}

TEST(PresentDay, StartupRunTimeFigure)
{
    EXPECT_EQ(cosmophase::startupRunTimeFigure(), 0.00998020972064228);
    char text[64];
    std::snprintf(text, sizeof text, "%0.4f Years", cosmophase::startupRunTimeFigure());
    EXPECT_STREQ(text, "0.0100 Years");
}

// w0 = -2/3 puts zeros in the denominators; the results are non-finite and
// nothing traps.
TEST(PresentDay, PoleAtMinusTwoThirds)
{
    const auto p = presentDayParameters(0.0, -2.0 / 3.0, 0.0);
    EXPECT_FALSE(std::isfinite(p.q0) && std::isfinite(p.xi0));
}

} // namespace

#include "RunParameters.h"
#include "RunStatus.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

using namespace cosmophase;

namespace {

struct TextCase {
    const char* text;
    bool accepted;
};

class AccelerationText : public testing::TestWithParam<TextCase> {};

TEST_P(AccelerationText, ParsesExactlyOrRefuses)
{
    const auto [text, accepted] = GetParam();
    const ParsedValue<double> parsed = parseAcceleration(text);
    ASSERT_EQ(parsed.value.has_value(), accepted) << parsed.error;
    EXPECT_EQ(parsed.error.empty(), accepted);
    if (accepted) {
        // What is shown reads back as the very value that runs.
        const ParsedValue<double> again = parseAcceleration(accelerationText(*parsed.value));
        ASSERT_TRUE(again.value);
        EXPECT_EQ(std::memcmp(&*again.value, &*parsed.value, sizeof(double)), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AccelerationText,
    testing::Values(TextCase{"0.999999426", true}, TextCase{"+1", true}, TextCase{"1e-300", true},
                    TextCase{"0.99999999999999989", true}, TextCase{"1.3228756555322951", true},
                    TextCase{"1.3228756555322954", false}, TextCase{"1.4", false},
                    TextCase{"0", false}, TextCase{"-0.5", false}, TextCase{"", false},
                    TextCase{" 1", false}, TextCase{"1 ", false}, TextCase{"0x1p-1", false},
                    TextCase{"nan", false}, TextCase{"inf", false}, TextCase{"1e999", false},
                    TextCase{"1e-400", false}, TextCase{"1,5", false}, TextCase{"+-1", false}));

class TemperatureText : public testing::TestWithParam<TextCase> {};

TEST_P(TemperatureText, PositiveThirtyTwoBitIntegersOnly)
{
    const auto [text, accepted] = GetParam();
    const ParsedValue<std::int32_t> parsed = parseTemperature(text);
    EXPECT_EQ(parsed.value.has_value(), accepted) << text;
    EXPECT_EQ(parsed.error.empty(), accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TemperatureText,
    testing::Values(TextCase{"9000", true}, TextCase{"+1", true}, TextCase{"2147483647", true},
                    TextCase{"0009000", true}, TextCase{"0", false}, TextCase{"-1", false},
                    TextCase{"-0", false}, TextCase{"2147483648", false},
                    TextCase{"99999999999999999999", false}, TextCase{"9000.0", false},
                    TextCase{"9e3", false}, TextCase{" 9000", false}, TextCase{"", false},
                    TextCase{"+", false}));

TEST(RunParameters, DefaultsAreTheSeedRunBitForBit)
{
    Simulation seed;
    seed.initialize();
    seed.runSimulation();
    Simulation bounded;
    const ParsedValue<double> typed = parseAcceleration("0.999999426");
    ASSERT_TRUE(typed.value);
    bounded.initialize(RunParameters{*typed.value, *parseTemperature("9000").value});
    EXPECT_EQ(bounded.runSimulationBounded(), RunStatus::Ok);
    EXPECT_EQ(bounded.getz2Data(), seed.getz2Data());
    EXPECT_EQ(bounded.getw0Data(), seed.getw0Data());
    EXPECT_EQ(bounded.getw2Data(), seed.getw2Data());
    EXPECT_EQ(bounded.getTimeData(), seed.getTimeData());
    EXPECT_TRUE(bounded.parameters().isDefault());
    EXPECT_FALSE((RunParameters{-0.0, 9000}.isDefault()));
}

// The age and q0 at the epoch as q approaches 1, the table the README gives.
struct AgeCase {
    double q;
    double ageGyr;
    double q0;
};

class AgeAtEpoch : public testing::TestWithParam<AgeCase> {};

TEST_P(AgeAtEpoch, FollowsQ)
{
    const AgeCase c = GetParam();
    Simulation sim;
    sim.initialize(RunParameters{c.q, 9000});
    ASSERT_EQ(sim.runSimulationBounded(), RunStatus::Ok);
    sim.computeRedShiftVsLuminosity();
    EXPECT_NEAR(sim.getTimeData().back() / 1e9, c.ageGyr, 0.005);
    EXPECT_NEAR(sim.q0(), c.q0, 0.0005);
}

INSTANTIATE_TEST_SUITE_P(Table, AgeAtEpoch,
                         testing::Values(AgeCase{1 - 1e-5, 14.33, 0.497}, AgeCase{1 - 1e-6, 13.64, 0.455},
                                         AgeCase{0.999999426, 13.14, 0.425},
                                         AgeCase{1 - 1e-7, 10.96, 0.304}, AgeCase{1, 9.59, 0.250}));

TEST(RunParameters, TemperatureOnlyShiftsTheTimeOffset)
{
    Simulation cold;
    cold.initialize(RunParameters{RunParameters::kDefaultAcceleration, 1000});
    Simulation hot;
    hot.initialize(RunParameters{RunParameters::kDefaultAcceleration, 100000});
    ASSERT_EQ(cold.runSimulationBounded(), RunStatus::Ok);
    ASSERT_EQ(hot.runSimulationBounded(), RunStatus::Ok);
    EXPECT_NEAR(cold.getTimeData().back(), hot.getTimeData().back(), 1.0);
    EXPECT_NEAR(cold.timeInit() / hot.timeInit(), 10000, 1e-9);
}

// One case per way a bounded run ends; each must end promptly.
struct EndCase {
    RunParameters parameters;
    std::int32_t budget;
    RunStatus status;
};

class BoundedRun : public testing::TestWithParam<EndCase> {};

TEST_P(BoundedRun, EndsWithItsStatus)
{
    const EndCase c = GetParam();
    Simulation sim;
    sim.initialize(c.parameters);
    EXPECT_EQ(sim.runSimulationBounded(c.budget), c.status);
    EXPECT_LE(sim.runStats().attemptedSteps, c.budget);
    EXPECT_EQ(sim.getTimeData().size(), sim.getz2Data().size());
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoundedRun,
    testing::Values(EndCase{RunParameters{}, Simulation::kRunStepBudget, RunStatus::Ok},
                    EndCase{RunParameters{}, 5921, RunStatus::Budget},
                    // Inside the domain, close to the pole.
                    EndCase{RunParameters{1.3118296438086006, 9000}, Simulation::kRunStepBudget,
                            RunStatus::Stalled},
                    EndCase{RunParameters{1.3113, 9000}, 100000, RunStatus::Budget},
                    // Beyond the pole, where the domain check refuses them.
                    EndCase{RunParameters{1.323, 9000}, Simulation::kRunStepBudget, RunStatus::Stalled},
                    EndCase{RunParameters{1.35, 9000}, Simulation::kRunStepBudget, RunStatus::NonFinite}));

TEST(ParameterDomain, RefusesWhatCannotStart)
{
    EXPECT_EQ(ParameterDomain::check(RunParameters{}), "");
    EXPECT_EQ(ParameterDomain::check(RunParameters{1.3228756555322951, 1}), "");
    for (const RunParameters& p : {RunParameters{1.323, 9000}, RunParameters{0, 9000},
                                   RunParameters{-1, 9000}, RunParameters{1, 0}, RunParameters{1, -5},
                                   RunParameters{5e-324, 2147483647}})
        EXPECT_NE(ParameterDomain::check(p), "") << p.q << " " << p.T;
}

TEST(RunStatus, OneLowercaseWordEach)
{
    std::set<std::string> words;
    for (RunStatus s : {RunStatus::Ok, RunStatus::Budget, RunStatus::Stalled, RunStatus::NonFinite,
                        RunStatus::Domain}) {
        const std::string word = statusWord(s);
        EXPECT_EQ(word.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos) << word;
        words.insert(word);
        EXPECT_EQ(statusReason(s).find('\n'), std::string::npos);
    }
    EXPECT_EQ(words.size(), 5u);
}

} // namespace

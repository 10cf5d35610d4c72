#include "PlaybackPace.h"
#include "SampleAtPercent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using cosmophase::PlaybackPace;
using cosmophase::sampleAtPace;

namespace {

// Times that grow tenfold a sample, as the run's do over its first steps.
const std::vector<double> kDecades{0.01, 0.1, 1, 10, 100, 1000, 10000};

struct PaceCase {
    const char* name;
    std::vector<double> times;
    PlaybackPace pace;
    double percent;
    std::int32_t sample;
};

class PaceTable : public ::testing::TestWithParam<PaceCase> {};

TEST_P(PaceTable, PercentToSample)
{
    const PaceCase& c = GetParam();
    EXPECT_EQ(sampleAtPace(c.times, c.percent, c.pace), c.sample);
}

INSTANTIATE_TEST_SUITE_P(
    Paces, PaceTable,
    ::testing::Values(
        // Time: the slider's rule, which passes the early decades at once.
        PaceCase{"time_start", kDecades, PlaybackPace::Time, 0, 0},
        PaceCase{"time_one_percent", kDecades, PlaybackPace::Time, 1, 4},
        PaceCase{"time_end", kDecades, PlaybackPace::Time, 100, 6},
        // Log: a decade per sixth of the way; a time just reached counts.
        PaceCase{"log_start", kDecades, PlaybackPace::LogTime, 0, 0},
        PaceCase{"log_within_the_first_sixth", kDecades, PlaybackPace::LogTime, 10, 1},
        PaceCase{"log_just_past_a_sixth", kDecades, PlaybackPace::LogTime, 100.0 / 6 + 1e-9, 2},
        PaceCase{"log_half", kDecades, PlaybackPace::LogTime, 50, 3},
        PaceCase{"log_end", kDecades, PlaybackPace::LogTime, 100, 6},
        PaceCase{"log_beyond", kDecades, PlaybackPace::LogTime, 150, 6},
        PaceCase{"log_below", kDecades, PlaybackPace::LogTime, -5, 0},
        PaceCase{"log_nan", kDecades, PlaybackPace::LogTime, std::nan(""), 0},
        // A first sample at t = 0: the scale starts at the first positive time.
        PaceCase{"log_zero_start", {0, 1, 10, 100}, PlaybackPace::LogTime, 0, 0},
        PaceCase{"log_zero_start_quarter", {0, 1, 10, 100}, PlaybackPace::LogTime, 25, 2},
        PaceCase{"log_zero_start_half", {0, 1, 10, 100}, PlaybackPace::LogTime, 50, 2},
        PaceCase{"log_no_positive_time", {0, 0, 0}, PlaybackPace::LogTime, 50, 0},
        PaceCase{"log_one_sample", {5}, PlaybackPace::LogTime, 50, 0},
        // Samples: the nearest index, halves up.
        PaceCase{"samples_start", kDecades, PlaybackPace::Samples, 0, 0},
        PaceCase{"samples_half", kDecades, PlaybackPace::Samples, 50, 3},
        PaceCase{"samples_rounds_half_up", {1, 2, 3, 4}, PlaybackPace::Samples, 50, 2},
        PaceCase{"samples_end", kDecades, PlaybackPace::Samples, 100, 6},
        PaceCase{"samples_beyond", kDecades, PlaybackPace::Samples, 1e300, 6},
        PaceCase{"samples_nan", kDecades, PlaybackPace::Samples, std::nan(""), 0},
        PaceCase{"no_samples", {}, PlaybackPace::Samples, 50, -1}),
    [](const auto& info) { return std::string(info.param.name); });

// Time is the slider's rule at every percent, so a movie at the default pace
// shows what the slider shows.
TEST(PlaybackPace, TimeIsTheSlidersRule)
{
    const std::vector<double> times{0.0075, 3, 3.5, 90, 1e4, 2e6, 1.3e10};
    for (double percent = 0; percent <= 100; percent += 0.125)
        EXPECT_EQ(sampleAtPace(times, percent, PlaybackPace::Time), cosmophase::sampleAtPercent(times, percent))
            << percent;
}

TEST(PlaybackPace, NamesReadBack)
{
    for (PlaybackPace pace : {PlaybackPace::Time, PlaybackPace::LogTime, PlaybackPace::Samples})
        EXPECT_EQ(cosmophase::playbackPaceFromName(cosmophase::playbackPaceName(pace)), pace);
    EXPECT_FALSE(cosmophase::playbackPaceFromName("Time"));
    EXPECT_FALSE(cosmophase::playbackPaceFromName(""));
}

} // namespace

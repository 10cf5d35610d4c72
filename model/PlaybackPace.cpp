#include "PlaybackPace.h"

#include "SampleAtPercent.h"

#include <algorithm>
#include <cmath>

namespace cosmophase {

namespace {

// The first sample whose time reaches `target`, the slider's rule; the
// last when none does.
std::int32_t firstReaching(const std::vector<double>& times, double target)
{
    const auto n = static_cast<std::int32_t>(times.size());
    std::int32_t i = 0;
    while (i < n - 1 && target > times[i])
        ++i;
    return i;
}

std::int32_t sampleAtLogTime(const std::vector<double>& times, double percent)
{
    const auto firstPositive = std::find_if(times.begin(), times.end(), [](double t) { return t > 0; });
    const double last = times.back();
    if (firstPositive == times.end() || !(last > *firstPositive))
        return sampleAtPercent(times, percent);
    if (!(percent > 0))
        return 0;
    if (percent >= 100)
        return static_cast<std::int32_t>(times.size()) - 1;
    const double start = *firstPositive;
    const double target = start * std::pow(last / start, percent / 100);
    return std::max(firstReaching(times, target), static_cast<std::int32_t>(firstPositive - times.begin()));
}

} // namespace

const char* playbackPaceName(PlaybackPace pace)
{
    switch (pace) {
    case PlaybackPace::Time: return "time";
    case PlaybackPace::LogTime: return "log";
    case PlaybackPace::Samples: return "samples";
    }
    return "time";
}

std::optional<PlaybackPace> playbackPaceFromName(std::string_view name)
{
    for (PlaybackPace pace : {PlaybackPace::Time, PlaybackPace::LogTime, PlaybackPace::Samples}) {
        if (name == playbackPaceName(pace))
            return pace;
    }
    return std::nullopt;
}

std::int32_t sampleAtPace(const std::vector<double>& times, double percent, PlaybackPace pace)
{
    if (times.empty())
        return -1;
    switch (pace) {
    case PlaybackPace::Time:
        return sampleAtPercent(times, percent);
    case PlaybackPace::LogTime:
        return sampleAtLogTime(times, percent);
    case PlaybackPace::Samples: {
        if (!(percent > 0))
            return 0;
        const double last = static_cast<double>(times.size() - 1);
        return static_cast<std::int32_t>(std::min(std::floor(percent / 100 * last + 0.5), last));
    }
    }
    return sampleAtPercent(times, percent);
}

} // namespace cosmophase

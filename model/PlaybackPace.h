#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace cosmophase {

// How a playback's clock advances through the run. `Time` is the slider's
// rule (uniform in elapsed time), which races through the escape from the
// saddle; `LogTime` is uniform in the logarithm of elapsed time, from the
// first sample's time to the last; `Samples` is uniform in sample index.
enum class PlaybackPace { Time, LogTime, Samples };

// "time", "log", "samples": the names the command line and a session use.
const char* playbackPaceName(PlaybackPace pace);
std::optional<PlaybackPace> playbackPaceFromName(std::string_view name);

// The sample shown `percent` (0 ... 100) of the way through a playback at
// `pace`; -1 for no samples. Percent 0 is always the first sample and 100
// the last.
// - Time: sampleAtPercent(times, percent), exactly.
// - LogTime: the first sample whose time reaches t0 (tN / t0)^(percent / 100),
//   t0 the first positive time (the first sample's, for every run in the
//   parameters' domain) and tN the last; where no time is positive, as Time.
// - Samples: the nearest index to percent / 100 of the last one, halves up.
std::int32_t sampleAtPace(const std::vector<double>& times, double percent, PlaybackPace pace);

} // namespace cosmophase

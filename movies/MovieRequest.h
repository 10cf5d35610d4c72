#pragma once

#include "PlaybackPace.h"
#include "Session.h"

#include <optional>
#include <string>
#include <vector>

namespace cosmophase {

// The kind of movie, from the file name's extension (any case).
enum class MovieFormat { Mp4, Gif, WebM };
std::optional<MovieFormat> movieFormatFor(const std::string& path);

// A movie of the playback: the phase plane as `session` shows it (its run,
// view, layers, traces and legend; its marker is not used), `side` pixels
// square as `--save-figure --size` draws it, with the marker moving from
// `fromPercent` to `toPercent` of the run at `pace`.
struct MovieRequest {
    static constexpr int kDefaultSide = 637; // the plot's side as the window opens
    static constexpr int kMinSide = 16;      // below this the marker and labels swamp the plot
    static constexpr int kMaxSide = 4096;
    static constexpr int kDefaultFps = 30;
    static constexpr int kMaxFps = 120;
    // A GIF's frame delays are whole hundredths of a second, and browsers
    // slow anything shorter than two of them.
    static constexpr int kMaxGifFps = 50;
    static constexpr double kDefaultDuration = 20; // seconds, as the window plays
    static constexpr double kMaxDuration = 3600;

    std::string path;
    Session session;
    int side = kDefaultSide;
    int fps = kDefaultFps;
    double duration = kDefaultDuration;
    double fromPercent = 0;
    double toPercent = 100;
    PlaybackPace pace = PlaybackPace::Time;
    // Threads that draw frames (the encoder keeps its own); 0: one per core.
    unsigned threads = 0;

    // round(fps x duration)
    int frameCount() const;
    // Where frame k of frameCount() puts the marker, in percent of the run:
    // from + (to - from) k / (N - 1); a single frame shows `from`.
    double framePercent(int frame) const;
    // The sample frame k shows, of a run with these sample times.
    std::size_t frameSample(const std::vector<double>& times, int frame) const;
};

// One line saying why the request cannot be made (its extension, fps,
// duration, size, from and to, or a folder that cannot be written to);
// empty when it can. The session's own values are checked when it is read.
std::string movieRequestError(const MovieRequest& request);

} // namespace cosmophase

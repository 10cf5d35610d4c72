#include "MovieRequest.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace cosmophase {

namespace {

std::string lowerExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

std::optional<MovieFormat> movieFormatFor(const std::string& path)
{
    const std::string extension = lowerExtension(path);
    if (extension == "mp4")
        return MovieFormat::Mp4;
    if (extension == "gif")
        return MovieFormat::Gif;
    if (extension == "webm")
        return MovieFormat::WebM;
    return std::nullopt;
}

int MovieRequest::frameCount() const
{
    const double frames = std::round(fps * duration);
    return frames >= 1 && frames <= kMaxFps * kMaxDuration ? static_cast<int>(frames) : 0;
}

double MovieRequest::framePercent(int frame) const
{
    const int frames = frameCount();
    if (frames <= 1)
        return fromPercent;
    if (frame >= frames - 1)
        return toPercent;
    return fromPercent + (toPercent - fromPercent) * frame / (frames - 1);
}

std::size_t MovieRequest::frameSample(const std::vector<double>& times, int frame) const
{
    return static_cast<std::size_t>(std::max(0, sampleAtPace(times, framePercent(frame), pace)));
}

std::string movieRequestError(const MovieRequest& request)
{
    if (!movieFormatFor(request.path))
        return "cannot write a movie as '" + request.path + "': use .mp4, .gif or .webm";
    if (request.fps < 1 || request.fps > MovieRequest::kMaxFps)
        return "frames per second must be a whole number from 1 to " + std::to_string(MovieRequest::kMaxFps) +
               ", not " + std::to_string(request.fps);
    if (movieFormatFor(request.path) == MovieFormat::Gif && request.fps > MovieRequest::kMaxGifFps)
        return "an animated GIF plays at most " + std::to_string(MovieRequest::kMaxGifFps) +
               " frames per second, not " + std::to_string(request.fps) + ": use .mp4 or .webm for more";
    if (!(request.duration > 0) || !(request.duration <= MovieRequest::kMaxDuration))
        return "the duration must be above 0 and at most " + number(MovieRequest::kMaxDuration) +
               " seconds, not " + number(request.duration);
    if (request.frameCount() < 1)
        return "a movie of " + number(request.duration) + " s at " + std::to_string(request.fps) +
               " frames per second has no frame";
    if (request.side < MovieRequest::kMinSide || request.side > MovieRequest::kMaxSide)
        return "the size must be a whole number of pixels from " + std::to_string(MovieRequest::kMinSide) +
               " to " + std::to_string(MovieRequest::kMaxSide) + ", not " + std::to_string(request.side);
    const auto percent = [](double p) { return p >= 0 && p <= 100; };
    if (!percent(request.fromPercent) || !percent(request.toPercent))
        return "from and to must be percentages from 0 to 100, not " + number(request.fromPercent) + " and " +
               number(request.toPercent);
    if (!(request.fromPercent < request.toPercent))
        return "from (" + number(request.fromPercent) + " %) must come before to (" + number(request.toPercent) +
               " %)";
    const std::string folder = folderOf(request.path);
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return request.path + ": cannot write in '" + folder + "': " + std::strerror(errno);
    return {};
}

} // namespace cosmophase

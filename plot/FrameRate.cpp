#include "FrameRate.h"

#include <chrono>

namespace cosmophase {

namespace {
const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();
}

std::int64_t microsSinceProgramStart()
{
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    return std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
}

std::int32_t elapsedMilliseconds(std::int64_t elapsedMicros)
{
    return static_cast<std::int32_t>(elapsedMicros / 1000);
}

int framesPerSecond(std::int64_t elapsedMicros)
{
    const std::int32_t elapsed = elapsedMilliseconds(elapsedMicros);
    return elapsed > 0 ? 1000 / elapsed : 1000;
}

} // namespace cosmophase

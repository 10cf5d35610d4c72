#pragma once

#include <cstdint>

namespace cosmophase {

// The frame-rate figure is measured in wall-clock time on a monotonic clock:
// under vertical sync a frame costs far less processor time than a refresh
// interval, so processor time would report an absurd rate.

// Microseconds of steady_clock time since this program started. The start
// is read during static initialisation, so a first frame that measures from
// a reading of 0 measures from program start.
std::int64_t microsSinceProgramStart();

// Whole milliseconds in an elapsed time, truncated and narrowed to 32 bits.
std::int32_t elapsedMilliseconds(std::int64_t elapsedMicros);

// 1000 / elapsed milliseconds, or 1000 when less than a millisecond passed.
int framesPerSecond(std::int64_t elapsedMicros);

} // namespace cosmophase

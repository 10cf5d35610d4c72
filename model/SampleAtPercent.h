#pragma once

#include <cstdint>
#include <vector>

namespace cosmophase {

// The sample the time slider shows at `percent` (0 ... 100) of the run's
// elapsed time: the first whose time reaches that share of the last time,
// the last sample past the end, -1 for no samples.
std::int32_t sampleAtPercent(const std::vector<double>& times, double percent);

} // namespace cosmophase

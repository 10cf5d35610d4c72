#include "SampleAtPercent.h"

namespace cosmophase {

std::int32_t sampleAtPercent(const std::vector<double>& times, double percent)
{
    const auto n = static_cast<std::int32_t>(times.size());
    if (n == 0)
        return -1;
    const double target = (percent / 100) * times[n - 1];
    std::int32_t i = 0;
    while (target > times[i]) {
        ++i;
        if (i >= n)
            break;
    }
    return i >= n ? n - 1 : i;
}

} // namespace cosmophase

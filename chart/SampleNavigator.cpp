#include "SampleNavigator.h"

#include "TimeSeries.h"

#include <algorithm>
#include <cmath>

namespace cosmophase {

SampleNavigator::SampleNavigator(const std::vector<double>& times)
    : m_times(times)
{
}

std::int32_t SampleNavigator::nearest(double time) const
{
    if (m_times.empty())
        return -1;
    if (std::isnan(time))
        return 0;
    const auto after = std::lower_bound(m_times.begin(), m_times.end(), time);
    if (after == m_times.begin())
        return 0;
    if (after == m_times.end())
        return static_cast<std::int32_t>(m_times.size() - 1);
    const auto before = after - 1;
    // On a logarithmic axis the midpoint of two samples is their geometric
    // mean: compare ratios.
    const bool earlier = time * time < *before * *after;
    return static_cast<std::int32_t>((earlier ? before : after) - m_times.begin());
}

std::int32_t SampleNavigator::step(std::int32_t from, std::int32_t delta) const
{
    if (m_times.empty())
        return -1;
    const auto last = static_cast<std::int64_t>(m_times.size()) - 1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{from} + delta, 0, last));
}

double SampleNavigator::percentOf(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_times.size())
        return 0;
    return percentOfRun(m_times[static_cast<std::size_t>(index)], m_times.back());
}

} // namespace cosmophase

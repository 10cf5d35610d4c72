#pragma once

#include <cstdint>
#include <vector>

namespace cosmophase {

// Finds samples by time, for navigation that reaches every sample however
// early: the slider's 0.001 % steps are about 131,000 years, longer than
// the first sixty samples together.
class SampleNavigator {
public:
    // The times must be positive and increasing and outlive the navigator.
    explicit SampleNavigator(const std::vector<double>& times);

    // The sample nearest `time` as the logarithmic time axis shows it (by
    // ratio, not difference); the first or last beyond either end. -1 when
    // there are no samples.
    std::int32_t nearest(double time) const;

    // `from` moved by `delta` samples, held within the run.
    std::int32_t step(std::int32_t from, std::int32_t delta) const;

    // Where the time slider stands for a sample: its percentage of the
    // run's last time.
    double percentOf(std::int32_t index) const;

private:
    const std::vector<double>& m_times;
};

} // namespace cosmophase

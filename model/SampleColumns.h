#pragma once

#include <vector>

namespace cosmophase {

// The four parallel sample arrays of one forward run, borrowed.
struct SampleColumns {
    const std::vector<double>& z2;
    const std::vector<double>& w0;
    const std::vector<double>& w2;
    const std::vector<double>& time;
};

} // namespace cosmophase

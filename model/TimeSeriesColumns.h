#pragma once

#include <vector>

namespace cosmophase {

// Samples column by column, for a run or for its reference: the time in
// years, what the read-outs derive from the state, and the state.
struct TimeSeries {
    std::vector<double> time;
    std::vector<double> q0;
    std::vector<double> xi0;
    std::vector<double> densityRatio;
    std::vector<double> z2;
    std::vector<double> w0;
    std::vector<double> w2;
};

} // namespace cosmophase

#pragma once

#include "StudyPoint.h"

#include <pybind11/pybind11.h>

#include <cstdint>
#include <vector>

namespace cosmophase::python {

// A sweep's rows gathered column by column as they are emitted, then handed
// to Python as arrays keyed by the sweep's CSV columns without copying.
// Values a run did not reach are NaN (empty in the CSV).
class SweepColumns {
public:
    SweepColumns(std::uint64_t rows, bool withReference);

    void append(const studies::StudyPoint& point);
    // Needs the GIL; leaves the columns empty.
    pybind11::dict take();

private:
    struct Values {
        std::vector<double> elapsedYears;
        std::vector<double> q0;
        std::vector<double> xi0;
        std::vector<double> densityRatio;
    };
    static void append(Values& values, const std::optional<studies::PresentDayValues>& point);
    static void insert(pybind11::dict& columns, const char* prefix, Values& values);

    bool m_withReference = false;
    std::vector<double> m_q;
    std::vector<std::int64_t> m_T;
    std::vector<RunStatus> m_status;
    std::vector<std::int64_t> m_samples;
    Values m_run;
    Values m_reference;
};

} // namespace cosmophase::python

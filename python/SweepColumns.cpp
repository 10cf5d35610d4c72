#include "SweepColumns.h"

#include "NumpyArrays.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace py = pybind11;

namespace cosmophase::python {

SweepColumns::SweepColumns(std::uint64_t rows, bool withReference) : m_withReference(withReference)
{
    // Grown as rows come beyond this, so a huge grid is not claimed at once.
    const std::size_t reserved = static_cast<std::size_t>(std::min<std::uint64_t>(rows, 1 << 16));
    m_q.reserve(reserved);
    m_T.reserve(reserved);
    m_status.reserve(reserved);
    m_samples.reserve(reserved);
    for (Values* values : {&m_run, &m_reference}) {
        if (values == &m_reference && !withReference)
            continue;
        for (std::vector<double>* column : {&values->elapsedYears, &values->q0, &values->xi0, &values->densityRatio})
            column->reserve(reserved);
    }
}

void SweepColumns::append(Values& values, const std::optional<studies::PresentDayValues>& point)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    values.elapsedYears.push_back(point ? point->elapsedYears : nan);
    values.q0.push_back(point ? point->q0 : nan);
    values.xi0.push_back(point ? point->xi0 : nan);
    values.densityRatio.push_back(point ? point->densityRatio : nan);
}

void SweepColumns::append(const studies::StudyPoint& point)
{
    m_q.push_back(point.parameters.q);
    m_T.push_back(point.parameters.T);
    m_status.push_back(point.status);
    m_samples.push_back(static_cast<std::int64_t>(point.samples));
    append(m_run, point.run);
    if (m_withReference)
        append(m_reference, point.reference);
}

void SweepColumns::insert(py::dict& columns, const char* prefix, Values& values)
{
    const std::string p = prefix;
    columns[py::str(p + "elapsed_years")] = ownedArray(std::move(values.elapsedYears));
    columns[py::str(p + "q0")] = ownedArray(std::move(values.q0));
    columns[py::str(p + "xi0")] = ownedArray(std::move(values.xi0));
    columns[py::str(p + "density_ratio")] = ownedArray(std::move(values.densityRatio));
}

py::dict SweepColumns::take()
{
    // One string object a status word, shared by its rows.
    std::array<py::object, 5> word;
    py::list words(m_status.size());
    for (std::size_t i = 0; i < m_status.size(); ++i) {
        py::object& shared = word.at(static_cast<std::size_t>(m_status[i]));
        if (!shared)
            shared = py::str(statusWord(m_status[i]));
        words[i] = shared;
    }
    py::dict columns;
    std::vector<double> oneMinusQ(m_q.size());
    for (std::size_t i = 0; i < m_q.size(); ++i)
        oneMinusQ[i] = 1.0 - m_q[i];
    columns["q"] = ownedArray(std::move(m_q));
    columns["one_minus_q"] = ownedArray(std::move(oneMinusQ));
    columns["T"] = ownedArray(std::move(m_T));
    columns["status"] = py::module_::import("numpy").attr("array")(words, "U");
    columns["samples"] = ownedArray(std::move(m_samples));
    insert(columns, "", m_run);
    if (m_withReference)
        insert(columns, "reference_", m_reference);
    m_status.clear();
    return columns;
}

} // namespace cosmophase::python

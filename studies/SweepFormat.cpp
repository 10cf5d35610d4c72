#include "SweepFormat.h"

#include "DataFormat.h"

#include <array>

namespace cosmophase::studies {

namespace {

constexpr const char* kValueColumns[] = {"elapsed_years", "q0", "xi0", "density_ratio"};

std::array<double, 4> numbersOf(const PresentDayValues& values)
{
    return {values.elapsedYears, values.q0, values.xi0, values.densityRatio};
}

void appendCsvValues(std::string& out, const std::optional<PresentDayValues>& values)
{
    for (int i = 0; i < 4; ++i) {
        out += ',';
        if (values)
            appendDouble(out, numbersOf(*values)[i]);
    }
}

void appendJsonValues(std::string& out, const char* prefix, const std::optional<PresentDayValues>& values)
{
    for (int i = 0; i < 4; ++i) {
        out += ",\"";
        out += prefix;
        out += kValueColumns[i];
        out += "\":";
        if (values)
            appendJsonNumber(out, numbersOf(*values)[i]);
        else
            out += "null";
    }
}

} // namespace

std::string sweepCsvHeader(bool withReference)
{
    std::string header = "q,T,status,samples,elapsed_years,q0,xi0,density_ratio";
    if (withReference)
        header += ",reference_elapsed_years,reference_q0,reference_xi0,reference_density_ratio";
    return header + "\n";
}

void appendSweepCsvRow(std::string& out, const StudyPoint& point, bool withReference)
{
    appendDouble(out, point.parameters.q);
    out += ',';
    appendIndex(out, static_cast<std::size_t>(point.parameters.T));
    out += ',';
    out += statusWord(point.status);
    out += ',';
    appendIndex(out, point.samples);
    appendCsvValues(out, point.run);
    if (withReference)
        appendCsvValues(out, point.reference);
    out += '\n';
}

std::string sweepJsonOpening()
{
    return "[\n";
}

void appendSweepJsonRow(std::string& out, const StudyPoint& point, bool withReference, bool first)
{
    if (!first)
        out += ",\n";
    out += "{\"q\":";
    appendJsonNumber(out, point.parameters.q);
    out += ",\"T\":";
    appendIndex(out, static_cast<std::size_t>(point.parameters.T));
    out += ",\"status\":\"";
    out += statusWord(point.status);
    out += "\",\"samples\":";
    appendIndex(out, point.samples);
    appendJsonValues(out, "", point.run);
    if (withReference)
        appendJsonValues(out, "reference_", point.reference);
    out += '}';
}

std::string sweepJsonClosing()
{
    return "\n]\n";
}

} // namespace cosmophase::studies

#include "SweepFormat.h"

#include "DataFormat.h"

#include <array>
#include <charconv>

namespace cosmophase::studies {

namespace {

constexpr const char* kValueColumns[] = {"elapsed_years", "q0", "xi0", "density_ratio"};

std::array<double, 4> numbersOf(const PresentDayValues& values)
{
    return {values.elapsedYears, values.q0, values.xi0, values.densityRatio};
}

// What the user typed reads back as itself: 0.999999426, not
// 0.99999942600000002. Parameters are always finite.
void appendShortest(std::string& out, double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendParametersCsv(std::string& out, const RunParameters& parameters)
{
    appendShortest(out, parameters.q);
    out += ',';
    appendShortest(out, 1.0 - parameters.q);
    out += ',';
    appendIndex(out, static_cast<std::size_t>(parameters.T));
}

void appendParametersJson(std::string& out, const RunParameters& parameters)
{
    out += "\"q\":";
    appendShortest(out, parameters.q);
    out += ",\"one_minus_q\":";
    appendShortest(out, 1.0 - parameters.q);
    out += ",\"T\":";
    appendIndex(out, static_cast<std::size_t>(parameters.T));
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

const char* integratorName(Integrator integrator)
{
    return integrator == Integrator::Run ? "run" : "reference";
}

} // namespace

std::string sweepCsvHeader(bool withReference)
{
    std::string header = "q,one_minus_q,T,status,samples,elapsed_years,q0,xi0,density_ratio";
    if (withReference)
        header += ",reference_elapsed_years,reference_q0,reference_xi0,reference_density_ratio";
    return header + "\n";
}

void appendSweepCsvRow(std::string& out, const StudyPoint& point, bool withReference)
{
    appendParametersCsv(out, point.parameters);
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
    out += '{';
    appendParametersJson(out, point.parameters);
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

std::string solveCsvHeader()
{
    return "integrator,q,one_minus_q,T,elapsed_years,q0,xi0,density_ratio\n";
}

void appendSolveCsvRow(std::string& out, const Solution& solution, std::int32_t temperature)
{
    out += integratorName(solution.integrator);
    out += ',';
    appendParametersCsv(out, {solution.q, temperature});
    appendCsvValues(out, solution.values);
    out += '\n';
}

void appendSolveJsonRow(std::string& out, const Solution& solution, std::int32_t temperature, bool first)
{
    if (!first)
        out += ",\n";
    out += "{\"integrator\":\"";
    out += integratorName(solution.integrator);
    out += "\",";
    appendParametersJson(out, {solution.q, temperature});
    appendJsonValues(out, "", solution.values);
    out += '}';
}

} // namespace cosmophase::studies

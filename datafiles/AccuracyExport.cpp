#include "AccuracyExport.h"

#include "DataFormat.h"
#include "Simulation.h"

#include <array>

namespace cosmophase {

namespace {

// run, reference, error and correct digits of one row, as written.
std::array<double, 4> numbersOf(const AccuracyRow& row)
{
    return {row.run, static_cast<double>(row.reference), static_cast<double>(row.error()),
            static_cast<double>(row.digits())};
}

} // namespace

std::string accuracyCsv(const std::vector<AccuracyRow>& rows, const RunParameters& parameters)
{
    std::string out = "q,T,quantity,run,reference,error,correct_digits\n";
    const std::string run = accelerationText(parameters.q) + "," + std::to_string(parameters.T) + ",";
    for (const AccuracyRow& row : rows) {
        out += run;
        out += row.quantity;
        for (const double value : numbersOf(row)) {
            out += ',';
            appendDouble(out, value);
        }
        out += '\n';
    }
    return out;
}

std::string accuracyJson(const std::vector<AccuracyRow>& rows, const RunParameters& parameters)
{
    static constexpr const char* kFields[] = {"run", "reference", "error", "correct_digits"};
    std::string out = "{\"q\":" + accelerationText(parameters.q) + ",\"T\":" + std::to_string(parameters.T);
    out += ",\"hubble_equality_target\":" + jsonNumber(Simulation::hubbleEqualityTarget());
    out += ",\"quantities\":[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out += i == 0 ? "{" : ",{";
        out += "\"quantity\":\"" + rows[i].quantity + "\"";
        const std::array<double, 4> numbers = numbersOf(rows[i]);
        for (std::size_t field = 0; field < numbers.size(); ++field) {
            out += ",\"";
            out += kFields[field];
            out += "\":";
            appendJsonNumber(out, numbers[field]);
        }
        out += '}';
    }
    out += "]}\n";
    return out;
}

} // namespace cosmophase

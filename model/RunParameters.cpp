#include "RunParameters.h"

#include "DecimalText.h"
#include "Simulation.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace cosmophase {

bool RunParameters::isDefault() const
{
    return *this == RunParameters{};
}

bool operator==(const RunParameters& a, const RunParameters& b)
{
    // Bits, not values: -0.0 is not the default, and no rounding slips in.
    return std::memcmp(&a.q, &b.q, sizeof a.q) == 0 && a.T == b.T;
}

std::string ParameterDomain::checkAcceleration(double q)
{
    // Written so that NaN fails too; the denominator as the start computes it.
    if (q > 0 && 7 - std::pow(q, 2.0) * 4 > 0)
        return {};
    return "q must be above 0 and below sqrt(7)/2 = 1.3228756555322954";
}

std::string ParameterDomain::checkTemperature(std::int64_t T)
{
    if (T >= kMinTemperature && T <= std::numeric_limits<std::int32_t>::max())
        return {};
    return "T must be a whole number from 1 to 2147483647";
}

std::string ParameterDomain::check(const RunParameters& parameters)
{
    std::string error = checkAcceleration(parameters.q);
    if (error.empty())
        error = checkTemperature(parameters.T);
    if (!error.empty())
        return error;
    Simulation start;
    start.initialize(parameters);
    if (!(start.timeInit() > 0))
        return "q is too small for this T: the start time rounds to 0 years";
    return {};
}

ParsedValue<double> parseAcceleration(std::string_view text)
{
    double q = 0;
    switch (readFiniteDecimal(text, q)) {
    case DecimalError::NotANumber:
        return {std::nullopt, "q must be a finite decimal number"};
    case DecimalError::OutOfRange:
        return {std::nullopt, "q is beyond the range of a double"};
    case DecimalError::None:
        break;
    }
    std::string error = ParameterDomain::checkAcceleration(q);
    if (!error.empty())
        return {std::nullopt, std::move(error)};
    return {q, {}};
}

ParsedValue<std::int32_t> parseTemperature(std::string_view text)
{
    const std::string error = ParameterDomain::checkTemperature(0);
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    // from_chars would take a '-'; digits alone keep "-0" out.
    if (first == last || *first < '0' || *first > '9')
        return {std::nullopt, error};
    std::int64_t T = 0;
    const auto [end, status] = std::from_chars(first, last, T);
    if (status != std::errc() || end != last || !ParameterDomain::checkTemperature(T).empty())
        return {std::nullopt, error};
    return {static_cast<std::int32_t>(T), {}};
}

std::string accelerationText(double q)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, q);
    return std::string(buffer, result.ptr);
}

} // namespace cosmophase

#include "ParameterGrid.h"

#include "DecimalText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace cosmophase::studies {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        std::string_view part = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        // "1e-6, 1e-4" reads as typed: spaces around a value are not part of it.
        const std::size_t first = part.find_first_not_of(" \t");
        part = first == std::string_view::npos ? std::string_view() : part.substr(first, part.find_last_not_of(" \t") - first + 1);
        parts.push_back(part);
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<double> finiteDecimal(std::string_view text)
{
    double value = 0;
    if (readFiniteDecimal(text, value) != DecimalError::None)
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> integer(std::string_view text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (last - first > 1 && *first == '+' && first[1] != '-')
        ++first;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

GridParse failure(std::string message)
{
    GridParse parse;
    parse.error = std::move(message);
    return parse;
}

// The count N of A:B:N.
std::optional<std::size_t> count(std::string_view text)
{
    const std::optional<std::int64_t> n = integer(text);
    if (!n || *n < 1 || static_cast<std::uint64_t>(*n) > kMaxGridValues)
        return std::nullopt;
    return static_cast<std::size_t>(*n);
}

// Decimal digits of a whole number, most significant first: a - b for a >= b.
std::string subtractWhole(std::string a, const std::string& b)
{
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::size_t ai = a.size() - 1 - i;
        int digit = (a[ai] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = digit < 0;
        a[ai] = static_cast<char>('0' + digit + 10 * borrow);
    }
    return a;
}

std::string addWhole(const std::string& a, const std::string& b)
{
    std::string sum;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int digit = carry + (i < a.size() ? a[a.size() - 1 - i] - '0' : 0) +
                          (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        carry = digit / 10;
        sum.insert(sum.begin(), static_cast<char>('0' + digit % 10));
    }
    return sum;
}

// 1 - x for the decimal text of a finite x < 1, exact in decimal and then
// rounded once: "0.99999" gives 1e-5 itself, where 1 - 0.99999 in doubles is
// 1.0000000000065512e-05. So a log grid from 0.99999 meets 0.999999 at
// 1e-6, as typed. Nothing for text too long to be worth it.
std::optional<double> distanceFromOne(std::string_view text)
{
    std::size_t at = 0;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    std::string digits;
    long exponent = 0;
    bool point = false;
    for (; at < text.size() && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '.'); ++at) {
        if (text[at] == '.')
            point = true;
        else {
            digits += text[at];
            exponent -= point ? 1 : 0;
        }
    }
    if (at < text.size()) {
        long power = 0;
        const char* first = text.data() + at + 1;
        first += first < text.data() + text.size() && *first == '+';
        const auto [end, error] = std::from_chars(first, text.data() + text.size(), power);
        if (error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        exponent += power;
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    constexpr long kLongest = 800;
    const long scale = std::max(0L, -exponent); // 1 is 10^scale units of 10^-scale
    if (scale > kLongest || static_cast<long>(digits.size()) + std::max(0L, exponent) > kLongest)
        return std::nullopt;
    const std::string one = "1" + std::string(static_cast<std::size_t>(scale), '0');
    const std::string x = digits + std::string(static_cast<std::size_t>(std::max(0L, exponent)), '0');
    const std::string units = negative ? addWhole(one, x) : subtractWhole(one, x);
    const std::string decimal = units + "e-" + std::to_string(scale);
    double distance = 0;
    const auto [end, error] = std::from_chars(decimal.data(), decimal.data() + decimal.size(), distance);
    if (error != std::errc())
        return std::nullopt;
    return distance;
}

} // namespace

ParameterGrid ParameterGrid::single(double value)
{
    ParameterGrid grid;
    grid.m_values = {value};
    grid.m_count = 1;
    return grid;
}

double ParameterGrid::operator[](std::size_t index) const
{
    if (m_spacing == Spacing::List || !m_typedAsOneMinusQ)
        return typedValue(index);
    return 1.0 - typedValue(index);
}

double ParameterGrid::typedValue(std::size_t index) const
{
    if (m_spacing == Spacing::List)
        return m_values[index];
    if (index + 1 == m_count)
        return m_last;
    if (index == 0)
        return m_first;
    if (m_spacing == Spacing::WholeSteps)
        return m_first + static_cast<double>(m_step * static_cast<std::int64_t>(index));
    const double fraction = static_cast<double>(index) / static_cast<double>(m_count - 1);
    if (m_spacing == Spacing::Linear)
        return m_first + (m_last - m_first) * fraction;
    const double from = m_logFrom;
    const double to = m_logTo;
    // Weighted this way a whole decade between whole-decade ends is exact:
    // 1e-9:1e-3:7:log meets 1e-6 itself.
    const double steps = static_cast<double>(m_count - 1);
    const double exponent = (from * (steps - static_cast<double>(index)) + to * static_cast<double>(index)) / steps;
    const double distance = std::pow(10.0, exponent);
    return m_typedAsOneMinusQ ? distance : 1.0 - distance;
}

GridParse GridParse::spacedOrList(std::string_view text, const char* name, bool oneMinusQ)
{
    const std::vector<std::string_view> fields = split(text, ':');
    const std::string grid = std::string("a ") + name + " grid";
    if (fields.size() == 1) {
        ParameterGrid parsed;
        for (const std::string_view item : split(text, ',')) {
            const std::optional<double> value = finiteDecimal(item);
            if (!value)
                return failure(grid + "'s values must be finite decimal numbers");
            if (oneMinusQ && 1.0 - *value == 1.0)
                return failure(grid + "'s values must leave q = 1 - value distinct from 1 in a double");
            parsed.m_values.push_back(oneMinusQ ? 1.0 - *value : *value);
        }
        parsed.m_count = parsed.m_values.size();
        return GridParse{parsed, {}};
    }
    const bool logarithmic = fields.size() == 4 && fields[3] == "log";
    if (fields.size() != 3 && !logarithmic)
        return failure(grid + " is a comma list, A:B:N or A:B:N:log");
    const std::optional<double> first = finiteDecimal(fields[0]);
    const std::optional<double> last = finiteDecimal(fields[1]);
    const std::optional<std::size_t> n = count(fields[2]);
    if (!first || !last)
        return failure(grid + "'s ends must be finite decimal numbers");
    if (!n)
        return failure("a grid's count must be a whole number from 1 to 100000000");
    if (*n == 1 && *first != *last)
        return failure("a grid of one value needs equal ends");
    if (oneMinusQ && (1.0 - *first == 1.0 || 1.0 - *last == 1.0))
        return failure(grid + "'s ends must leave q = 1 - value distinct from 1 in a double");
    ParameterGrid parsed;
    parsed.m_spacing = logarithmic ? ParameterGrid::Spacing::LogDistanceFromOne : ParameterGrid::Spacing::Linear;
    parsed.m_typedAsOneMinusQ = oneMinusQ;
    parsed.m_first = *first;
    parsed.m_last = *last;
    parsed.m_count = *n;
    if (logarithmic) {
        // The distances from 1 of the numbers typed, not of their doubles.
        const auto distance = [&](std::string_view typed, double value) {
            if (oneMinusQ)
                return value;
            return distanceFromOne(typed).value_or(1.0 - value);
        };
        parsed.m_logFrom = std::log10(distance(fields[0], *first));
        parsed.m_logTo = std::log10(distance(fields[1], *last));
    }
    return GridParse{parsed, {}};
}

GridParse GridParse::acceleration(std::string_view text)
{
    GridParse parse = spacedOrList(text, "q", false);
    if (!parse.grid || parse.grid->spacing() != ParameterGrid::Spacing::LogDistanceFromOne)
        return parse;
    const double first = parse.grid->m_first;
    const double last = parse.grid->m_last;
    if (!(first < 1.0 && last < 1.0))
        return failure("a log q grid needs both ends below 1, where 1 - q is positive");
    // Log spacing is for q near 1. Ends far below it are surely the 1 - q the
    // axes show, typed as q: refused rather than run as q.
    if (first < 0.5 && last < 0.5)
        return failure("a log q grid spaces 1 - q for q near 1, and ends below 0.5 look like values of 1 - q: "
                       "give those as a grid of 1 - q");
    return parse;
}

GridParse GridParse::oneMinusAcceleration(std::string_view text)
{
    GridParse parse = spacedOrList(text, "1 - q", true);
    if (parse.grid && parse.grid->spacing() == ParameterGrid::Spacing::LogDistanceFromOne &&
        !(parse.grid->m_first > 0 && parse.grid->m_last > 0))
        return failure("a log 1 - q grid needs both ends above 0");
    return parse;
}

GridParse GridParse::temperature(std::string_view text)
{
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
    const auto inRange = [](std::int64_t t) { return t >= 1 && t <= kLargest; };
    const std::vector<std::string_view> fields = split(text, ':');
    if (fields.size() == 1) {
        ParameterGrid grid;
        for (const std::string_view item : split(text, ',')) {
            const std::optional<std::int64_t> value = integer(item);
            if (!value || !inRange(*value))
                return failure("a T grid's values must be whole numbers from 1 to 2147483647");
            grid.m_values.push_back(static_cast<double>(*value));
        }
        grid.m_count = grid.m_values.size();
        return GridParse{grid, {}};
    }
    if (fields.size() != 3)
        return failure("a T grid is a comma list or A:B:N");
    const std::optional<std::int64_t> first = integer(fields[0]);
    const std::optional<std::int64_t> last = integer(fields[1]);
    const std::optional<std::size_t> n = count(fields[2]);
    if (!first || !last || !inRange(*first) || !inRange(*last))
        return failure("a T grid's ends must be whole numbers from 1 to 2147483647");
    if (!n)
        return failure("a grid's count must be a whole number from 1 to 100000000");
    if (*n == 1 ? *first != *last : (*last - *first) % static_cast<std::int64_t>(*n - 1) != 0)
        return failure("a T grid A:B:N must step by a whole number: N - 1 must divide B - A");
    ParameterGrid grid;
    grid.m_spacing = ParameterGrid::Spacing::WholeSteps;
    grid.m_first = static_cast<double>(*first);
    grid.m_last = static_cast<double>(*last);
    grid.m_step = *n == 1 ? 0 : (*last - *first) / static_cast<std::int64_t>(*n - 1);
    grid.m_count = *n;
    return GridParse{grid, {}};
}

} // namespace cosmophase::studies

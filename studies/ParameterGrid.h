#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cosmophase::studies {

// The values one parameter takes in a sweep. Evenly spaced grids are kept as
// their ends and count and evaluated on demand, so a grid of any size costs
// the same memory.
class ParameterGrid {
public:
    enum class Spacing { List, Linear, WholeSteps, LogDistanceFromOne };

    static ParameterGrid single(double value);

    std::size_t size() const { return m_count; }
    // Values are reproducible bit for bit. The ends of a spaced grid are
    // exactly the numbers typed; a grid typed in 1 - q gives q = 1 - value,
    // so its ends are what --q of the same q would be.
    double operator[](std::size_t index) const;
    Spacing spacing() const { return m_spacing; }

private:
    friend struct GridParse;
    // In the coordinate typed: q, T or 1 - q.
    double typedValue(std::size_t index) const;

    Spacing m_spacing = Spacing::List;
    bool m_typedAsOneMinusQ = false;
    std::vector<double> m_values; // a list's values, as q or T
    double m_first = 0;
    double m_last = 0;
    double m_logFrom = 0; // log spacing: log10 of the ends' 1 - q
    double m_logTo = 0;
    std::int64_t m_step = 0; // WholeSteps only
    std::size_t m_count = 0;
};

struct GridParse {
    std::optional<ParameterGrid> grid;
    std::string error; // one line when `grid` is empty

    // q: a comma list of finite decimals, A:B:N (N values from A to B
    // inclusive) or A:B:N:log (N values whose 1 - q is evenly spaced in
    // log10 from 1 - A to 1 - B, taken exactly from the decimals typed; both
    // ends below 1, and not both below 0.5: such ends are surely values of
    // 1 - q typed as q).
    static GridParse acceleration(std::string_view text);
    // q typed as 1 - q, the way the study's axes show it: a comma list, A:B:N
    // (evenly in 1 - q) or A:B:N:log (evenly in log10(1 - q), both ends
    // positive). Every value must leave q = 1 - value distinct from 1.
    static GridParse oneMinusAcceleration(std::string_view text);
    // T: a comma list of integers or A:B:N stepping by a whole number.
    static GridParse temperature(std::string_view text);

private:
    // A list or A:B:N[:log] in the coordinate typed.
    static GridParse spacedOrList(std::string_view text, const char* name, bool oneMinusQ);
};

// Most values a spaced grid may hold; a sweep of more rows than fit in
// memory is still fine, since rows stream out, but a count beyond this is
// surely a typing slip.
inline constexpr std::uint64_t kMaxGridValues = 100'000'000;

} // namespace cosmophase::studies

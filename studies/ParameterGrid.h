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
    // Values are reproducible bit for bit, and the ends of a spaced grid are
    // exactly the numbers typed.
    double operator[](std::size_t index) const;
    Spacing spacing() const { return m_spacing; }

private:
    friend struct GridParse;
    Spacing m_spacing = Spacing::List;
    std::vector<double> m_values; // a list's values
    double m_first = 0;
    double m_last = 0;
    std::int64_t m_step = 0; // WholeSteps only
    std::size_t m_count = 0;
};

struct GridParse {
    std::optional<ParameterGrid> grid;
    std::string error; // one line when `grid` is empty

    // q: a comma list of finite decimals, A:B:N (N values from A to B
    // inclusive) or A:B:N:log (N values whose 1 - q is evenly spaced in
    // log10 from 1 - A to 1 - B; both ends below 1).
    static GridParse acceleration(std::string_view text);
    // T: a comma list of integers or A:B:N stepping by a whole number.
    static GridParse temperature(std::string_view text);
};

// Most values a spaced grid may hold; a sweep of more rows than fit in
// memory is still fine, since rows stream out, but a count beyond this is
// surely a typing slip.
inline constexpr std::uint64_t kMaxGridValues = 100'000'000;

} // namespace cosmophase::studies

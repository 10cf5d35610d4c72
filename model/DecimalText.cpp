#include "DecimalText.h"

#include <charconv>
#include <cmath>

namespace cosmophase {

DecimalError readFiniteDecimal(std::string_view text, double& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (last - first > 1 && *first == '+' && first[1] != '-' && first[1] != '+')
        ++first;
    double read = 0;
    const auto [end, error] = std::from_chars(first, last, read, std::chars_format::general);
    if (error == std::errc::result_out_of_range && end == last)
        return DecimalError::OutOfRange;
    if (error != std::errc() || end != last || !std::isfinite(read))
        return DecimalError::NotANumber;
    value = read;
    return DecimalError::None;
}

} // namespace cosmophase

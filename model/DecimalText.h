#pragma once

#include <string_view>

namespace cosmophase {

enum class DecimalError {
    None,
    NotANumber, // not a finite decimal number, or something after it
    OutOfRange  // a decimal number that a double cannot hold (1e999, 1e-400)
};

// Reads a finite decimal number and nothing else: no spaces, no
// hexadecimal, no "nan" or "inf". A single leading '+' is allowed, as
// printf's "%+g" writes one. The value is the nearest double, so "%.17g" of
// it reads back to the same value.
DecimalError readFiniteDecimal(std::string_view text, double& value);

} // namespace cosmophase

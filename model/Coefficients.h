#pragma once

namespace cosmophase::coeff {

// Single-precision roundings of fractions, widened exactly to double. The
// model's results are defined with these values, not the nearest doubles.
constexpr double f(float value) { return static_cast<double>(value); }

constexpr double k4_3 = f(4.0f / 3.0f);
constexpr double k2_27 = f(2.0f / 27.0f);
constexpr double k2_9 = f(2.0f / 9.0f);
constexpr double k1_18 = f(1.0f / 18.0f);
constexpr double k1_12 = f(1.0f / 12.0f);
constexpr double k1_3 = f(1.0f / 3.0f);
constexpr double k1_6 = f(1.0f / 6.0f);
constexpr double k4_9 = f(4.0f / 9.0f);
constexpr double k1_10 = f(1.0f / 10.0f);
constexpr double k1_24 = f(1.0f / 24.0f);
constexpr double k2_3 = f(2.0f / 3.0f);

} // namespace cosmophase::coeff

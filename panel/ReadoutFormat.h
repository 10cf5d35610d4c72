#pragma once

#include <cstddef>
#include <string>

namespace cosmophase {

// Texts of the read-outs, kept free of Qt so they can be checked on their own.
//
// Non-finite values read the same in every format: "nan", "inf" or "-inf"
// (printf's spelling, with the sign of a NaN dropped), followed by the
// format's own words, e.g. "inf Years" or "D Ratio = nan".

// A whole number with "," between groups of three digits, rounded to the
// nearest integer with ties to even: 1234567.5 -> "1,234,568", 2.5 -> "2".
std::string groupedWholeNumber(double value);

// "%@ Years": the elapsed time while the marker moves.
std::string elapsedYearsText(double years);

// "%0.4f Years": the fixed figure shown at start-up.
std::string startupYearsText(double years);

// Values whose fixed text would have more whole digits than this read in
// scientific notation instead ("%.6e"), so that a run far from the present
// day (q0 about 1e21 near q = 1.32) still fits its read-out.
inline constexpr std::size_t kMaxWholeDigits = 7;

// "%0.3f": q0 and xi0; "1.228532e+21" past kMaxWholeDigits.
std::string threeDecimalText(double value);

// "%0.8f": the density ratio's number; "1.234568e+07" past kMaxWholeDigits.
std::string eightDecimalText(double value);

// "D Ratio = %0.8f"; "D Ratio = 1.234568e+07" past kMaxWholeDigits.
std::string densityRatioText(double ratio);

// One tab-separated row for the clipboard: index, time, z2, w0, w2, density
// ratio, q0 and xi0 of one sample, every number with 17 significant digits
// so that it reads back to the same double.
std::string readoutRow(int index, double time, double z2, double w0, double w2);

} // namespace cosmophase

#include "ReadoutFormat.h"

#include "Observables.h"

#include <cfenv>
#include <cmath>
#include <cstdio>

namespace cosmophase {

namespace {

std::string nonFiniteText(double value)
{
    if (std::isnan(value))
        return "nan";
    return value < 0 ? "-inf" : "inf";
}

// printf into a std::string; 400 characters hold any "%.Nf" of a double up
// to 1e308 with the few decimals used here.
template <typename... Args>
std::string printed(const char* format, Args... args)
{
    char buffer[400];
    const int length = std::snprintf(buffer, sizeof buffer, format, args...);
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    return printed("%.*f", decimals, value);
}

// A fixed text longer than its box holds: past kMaxWholeDigits whole digits
// the value reads in scientific notation, seven significant digits.
std::string fixedOrScientific(double value, int decimals)
{
    const std::string text = fixed(value, decimals);
    if (!std::isfinite(value))
        return text;
    const std::size_t whole = text.find('.') - (text[0] == '-' ? 1 : 0);
    return whole <= kMaxWholeDigits ? text : printed("%.6e", value);
}

} // namespace

std::string groupedWholeNumber(double value)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);

    // nearbyint follows the current rounding mode; make sure it is to-nearest
    // (ties to even) whatever a caller left behind.
    const int savedMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double whole = std::nearbyint(value);
    std::fesetround(savedMode);
    if (whole == 0)
        whole = 0; // no "-0"

    // An integer-valued double prints exactly with "%.0f".
    const std::string digits = printed("%.0f", whole);
    const std::size_t start = digits[0] == '-' ? 1 : 0;
    std::string grouped = digits.substr(0, start);
    const std::size_t count = digits.size() - start;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            grouped += ',';
        grouped += digits[start + i];
    }
    return grouped;
}

std::string elapsedYearsText(double years)
{
    return groupedWholeNumber(years) + " Years";
}

std::string startupYearsText(double years)
{
    return fixed(years, 4) + " Years";
}

std::string threeDecimalText(double value)
{
    return fixedOrScientific(value, 3);
}

std::string eightDecimalText(double value)
{
    return fixedOrScientific(value, 8);
}

std::string densityRatioText(double ratio)
{
    return "D Ratio = " + eightDecimalText(ratio);
}

std::string readoutRow(int index, double time, double z2, double w0, double w2)
{
    const PresentDay present = presentDayParameters(z2, w0, w2);
    return printed("%d\t%.17g\t%.17g\t%.17g\t%.17g\t%.17g\t%.17g\t%.17g", index, time, z2, w0, w2,
                   densityRatio(z2), present.q0, present.xi0);
}

} // namespace cosmophase

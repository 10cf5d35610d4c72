// libFuzzer target: the present-day observables and the read-out texts for
// arbitrary doubles. Beyond "no crash, no undefined behaviour" every text
// must be well formed and say the value it was given.

#include "FuzzInput.h"
#include "Observables.h"
#include "ReadoutFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

using cosmophase::fuzz::bitsOf;
using cosmophase::fuzz::FuzzInput;

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isNonFiniteText(const std::string& text, double value)
{
    if (std::isnan(value))
        return text == "nan";
    return text == (value < 0 ? "-inf" : "inf");
}

// "-?digits.digits" with exactly `decimals` digits after the point, reading
// back to within half a unit of the last place (plus the value's own
// rounding error for magnitudes beyond 2^53).
void checkFixed(const std::string& text, double value, int decimals)
{
    if (!std::isfinite(value)) {
        FUZZ_CHECK(isNonFiniteText(text, value));
        return;
    }
    std::size_t i = text[0] == '-' ? 1 : 0;
    const std::size_t firstDigit = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    FUZZ_CHECK(i > firstDigit);
    FUZZ_CHECK(i < text.size() && text[i] == '.');
    FUZZ_CHECK(text.size() - i - 1 == static_cast<std::size_t>(decimals));
    for (std::size_t k = i + 1; k < text.size(); ++k)
        FUZZ_CHECK(isDigit(text[k]));
    const double back = std::strtod(text.c_str(), nullptr);
    const double halfUnit = 0.5 * std::pow(10.0, -decimals);
    FUZZ_CHECK(std::fabs(back - value) <= halfUnit + std::fabs(value) * 1e-15);
}

// A read-out's number: fixed as above while it has at most kMaxWholeDigits
// whole digits, else "%.6e" reading back to seven significant digits.
void checkReadout(const std::string& text, double value, int decimals)
{
    const std::size_t point = text.find('.');
    if (!std::isfinite(value) || text.find('e') == std::string::npos) {
        FUZZ_CHECK(!std::isfinite(value) || point - (text[0] == '-' ? 1 : 0) <= cosmophase::kMaxWholeDigits);
        checkFixed(text, value, decimals);
        return;
    }
    char fixedText[400];
    std::snprintf(fixedText, sizeof fixedText, "%.*f", decimals, value);
    FUZZ_CHECK(std::string(fixedText).find('.') - (value < 0 ? 1 : 0) > cosmophase::kMaxWholeDigits);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.6e", value);
    FUZZ_CHECK(text == expected);
}

// "-?d{1,3}(,ddd)*", the nearest whole number with ties to even, never "-0".
void checkGrouped(const std::string& text, double value)
{
    if (!std::isfinite(value)) {
        FUZZ_CHECK(isNonFiniteText(text, value));
        return;
    }
    const bool negative = text[0] == '-';
    std::string digits;
    std::size_t run = 0;
    bool firstGroup = true;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        if (text[i] == ',') {
            FUZZ_CHECK(run >= 1 && run <= 3 && (firstGroup || run == 3));
            firstGroup = false;
            run = 0;
            continue;
        }
        FUZZ_CHECK(isDigit(text[i]));
        digits += text[i];
        ++run;
    }
    FUZZ_CHECK(run >= 1 && run <= 3 && (firstGroup || run == 3));
    FUZZ_CHECK(digits.size() == 1 || digits[0] != '0');
    FUZZ_CHECK(!(negative && digits == "0"));

    // Whole numbers up to 1e308 read back exactly from their digits.
    const double whole = std::strtod(digits.c_str(), nullptr) * (negative ? -1 : 1);
    const double distance = std::fabs(whole - value);
    FUZZ_CHECK(distance <= 0.5);
    if (distance == 0.5)
        FUZZ_CHECK(std::fmod(whole, 2.0) == 0);
}

// Index and seven numbers, tab-separated, each reading back to its double.
void checkRow(int index, double time, double z2, double w0, double w2)
{
    const std::string row = cosmophase::readoutRow(index, time, z2, w0, w2);
    const cosmophase::PresentDay present = cosmophase::presentDayParameters(z2, w0, w2);
    const double expected[] = {time, z2, w0, w2, cosmophase::densityRatio(z2), present.q0,
                               present.xi0};
    const char* p = row.c_str();
    char* end = nullptr;
    FUZZ_CHECK(std::strtol(p, &end, 10) == index && *end == '\t');
    for (double value : expected) {
        FUZZ_CHECK(*end == '\t');
        p = end + 1;
        const double back = std::strtod(p, &end);
        FUZZ_CHECK(end != p);
        FUZZ_CHECK((std::isnan(back) && std::isnan(value)) || bitsOf(back) == bitsOf(value));
    }
    FUZZ_CHECK(*end == '\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const double z2 = in.real();
    const double w0 = in.real();
    const double w2 = in.real();
    const double time = in.real();
    const std::int32_t index = in.integer();

    const cosmophase::PresentDay present = cosmophase::presentDayParameters(z2, w0, w2);
    const double ratio = cosmophase::densityRatio(z2);
    // Deterministic: the read-outs and the model's own form must agree.
    const cosmophase::PresentDay again = cosmophase::presentDayParameters(z2, w0, w2);
    FUZZ_CHECK(bitsOf(again.q0) == bitsOf(present.q0) && bitsOf(again.xi0) == bitsOf(present.xi0));

    for (double value : {z2, w0, w2, time, present.q0, present.xi0, ratio})
        checkReadout(cosmophase::threeDecimalText(value), value, 3);

    const std::string ratioText = cosmophase::densityRatioText(ratio);
    FUZZ_CHECK(ratioText.rfind("D Ratio = ", 0) == 0);
    checkReadout(ratioText.substr(10), ratio, 8);

    const std::string startup = cosmophase::startupYearsText(time);
    FUZZ_CHECK(endsWith(startup, " Years"));
    checkFixed(startup.substr(0, startup.size() - 6), time, 4);

    const std::string elapsed = cosmophase::elapsedYearsText(time);
    FUZZ_CHECK(endsWith(elapsed, " Years"));
    const std::string grouped = cosmophase::groupedWholeNumber(time);
    FUZZ_CHECK(elapsed == grouped + " Years");
    checkGrouped(grouped, time);

    checkRow(index, time, z2, w0, w2);
    return 0;
}

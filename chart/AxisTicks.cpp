#include "AxisTicks.h"

#include <algorithm>
#include <cmath>

namespace cosmophase::axisticks {

namespace {

// Beyond these magnitudes fixed-point labels grow too wide or all read 0.
constexpr double kLargestFixed = 1e6;
constexpr double kSmallestFixed = 1e-3;
constexpr int kMostDigits = 12;

int decadeOf(double value)
{
    return static_cast<int>(std::floor(std::log10(value) + 1e-9));
}

// Digits after the point that show `step` exactly, counted from 10^decade.
int digitsFor(double step, int decade)
{
    int digits = std::max(0, decade - decadeOf(step));
    // A step of 0.25 needs one digit more than its decade says.
    const double scaled = step * std::pow(10.0, digits - decade);
    if (std::abs(scaled - std::round(scaled)) > 1e-6 * scaled)
        ++digits;
    return std::min(digits, kMostDigits);
}

} // namespace

QString linearFormat(double low, double high, int ticks)
{
    const double step = (high - low) / std::max(1, ticks - 1);
    const double largest = std::max(std::abs(low), std::abs(high));
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(largest))
        return QStringLiteral("%.6g");
    if (largest >= kLargestFixed || largest < kSmallestFixed)
        return QStringLiteral("%.%1e").arg(digitsFor(step, decadeOf(largest)));
    return QStringLiteral("%.%1f").arg(digitsFor(step, 0));
}

QString powerOfTen(int exponent)
{
    static const char16_t superscripts[] = u"⁰¹²³⁴⁵⁶⁷⁸⁹";
    QString digits;
    for (const QChar c : QString::number(std::abs(exponent)))
        digits.append(QChar(superscripts[c.digitValue()]));
    return QStringLiteral("10") + (exponent < 0 ? QStringLiteral("⁻") : QString()) + digits;
}

double logBase(int lowExponent, int highExponent, int labels)
{
    const int decades = std::max(1, highExponent - lowExponent);
    const int step = std::max(1, (decades + std::max(1, labels) - 1) / std::max(1, labels));
    return std::pow(10.0, step);
}

SymmetricLog::SymmetricLog(int exponent)
    : m_exponent(exponent)
    , m_scale(std::pow(10.0, exponent))
{
}

SymmetricLog SymmetricLog::fitting(const std::vector<double>& values)
{
    double largest = 0;
    double smallest = INFINITY;
    for (const double v : values) {
        if (!std::isfinite(v) || v == 0)
            continue;
        largest = std::max(largest, std::abs(v));
        smallest = std::min(smallest, std::abs(v));
    }
    if (!(largest > 0))
        return SymmetricLog(0);
    return SymmetricLog(decadeOf(std::max(smallest, largest * 1e-9)));
}

double SymmetricLog::forward(double y) const
{
    return std::copysign(std::log10(1 + std::abs(y) / m_scale), y);
}

std::vector<double> SymmetricLog::ticks(double low, double high, int labels) const
{
    // Decades of the scale on each side within the range: 10^k · scale sits
    // at log10(1 + 10^k), just above k.
    const auto decades = [](double reach) {
        int k = -1;
        while (k < 400 && std::log10(1 + std::pow(10.0, k + 1)) <= reach)
            ++k;
        return k;
    };
    const int above = high > 0 ? decades(high) : -1;
    const int below = low < 0 ? decades(-low) : -1;
    const int count = std::max(0, above) + std::max(0, below) + 1;
    const int step = std::max(1, (count + std::max(1, labels) - 1) / std::max(1, labels));
    // Exponents that are multiples of the step, so thinned labels still read
    // 10⁰, 10², 10⁴; ±scale itself would crowd zero, a third of a decade away.
    const auto shown = [this, step](int k) { return ((m_exponent + k) % step + step) % step == 0; };
    std::vector<double> ticks;
    for (int k = below; k >= 1; --k) {
        // A side of a decade or more has at least its own end labelled.
        if (shown(k) || (k == below && below < step))
            ticks.push_back(-m_scale * std::pow(10.0, k));
    }
    if (low <= 0 && high >= 0)
        ticks.push_back(0);
    for (int k = 1; k <= above; ++k) {
        if (shown(k) || (k == above && above < step))
            ticks.push_back(m_scale * std::pow(10.0, k));
    }
    return ticks;
}

QString SymmetricLog::label(double tick) const
{
    if (tick == 0)
        return QStringLiteral("0");
    const int exponent = m_exponent + static_cast<int>(std::lround(std::log10(std::abs(tick) / m_scale)));
    return (tick < 0 ? QStringLiteral("\u2212") : QString()) + powerOfTen(exponent);
}

} // namespace cosmophase::axisticks

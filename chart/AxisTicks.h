#pragma once

#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

// Tick labels chosen from the data, so that an axis reads the same way at the
// default run and at the edges of the domain.
namespace cosmophase::axisticks {

// The range of the finite values seen.
struct Span {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    // Of the values other than zero.
    double smallestMagnitude = std::numeric_limits<double>::infinity();

    void add(double v)
    {
        low = std::min(low, v), high = std::max(high, v);
        if (v != 0)
            smallestMagnitude = std::min(smallestMagnitude, std::abs(v));
    }
    void add(const Span& other)
    {
        low = std::min(low, other.low), high = std::max(high, other.high);
        smallestMagnitude = std::min(smallestMagnitude, other.smallestMagnitude);
    }
    bool empty() const { return !(low <= high); }
    double width() const { return empty() ? 0 : high - low; }
};

// A printf format for a linear axis from `low` to `high` with `ticks` labels:
// fixed-point with just enough decimals to tell neighbouring ticks apart, or
// scientific when the values are huge or tiny.
QString linearFormat(double low, double high, int ticks);

// "10⁴", "10⁻²": the exponent in superscript digits.
QString powerOfTen(int exponent);

// The smallest power of ten at least 1 whose powers put at most `labels`
// ticks between 10^lowExponent and 10^highExponent.
double logBase(int lowExponent, int highExponent, int labels);

// sign(y) · log10(1 + |y| / scale): linear within `scale` of zero and
// logarithmic beyond it, so values of both signs over many decades share
// one axis. `scale` is a power of ten.
class SymmetricLog {
public:
    // A scale that keeps the smallest magnitudes of `values` apart from zero
    // while the largest show as decades: at least 1e-9 of the largest.
    static SymmetricLog fitting(const std::vector<double>& values);

    double scale() const { return m_scale; }
    double forward(double y) const;
    // Zero and powers of ten above the scale, with either sign, between the
    // plotted positions `low` and `high`: at most about `labels` of them.
    std::vector<double> ticks(double low, double high, int labels) const;
    // "−10⁴", "0", "10⁻²".
    QString label(double tick) const;

private:
    explicit SymmetricLog(int exponent);

    int m_exponent = 0;
    double m_scale = 1;
};

} // namespace cosmophase::axisticks

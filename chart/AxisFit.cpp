#include "AxisFit.h"

#include <QLogValueAxis>
#include <QValueAxis>

namespace cosmophase::axisfit {

using axisticks::Span;

int dominantCurve(const std::vector<Span>& spans)
{
    int widest = -1;
    for (int k = 0; k < static_cast<int>(spans.size()); ++k) {
        if (!spans[k].empty() && (widest < 0 || spans[k].width() > spans[widest].width()))
            widest = k;
    }
    if (widest < 0)
        return -1;
    Span others;
    Span all = spans[widest];
    for (int k = 0; k < static_cast<int>(spans.size()); ++k) {
        if (k != widest && !spans[k].empty())
            others.add(spans[k]), all.add(spans[k]);
    }
    if (others.empty())
        return -1;
    // Flat others still have a scale: their magnitude's millionth.
    const double scale = std::max(others.width(), 1e-6 * std::max(std::abs(others.low), std::abs(others.high)));
    return all.width() > 10 * scale ? widest : -1;
}

void fitLinear(QValueAxis& axis, const Span& span, double margin)
{
    double low = span.low;
    double high = span.high;
    if (low < high) {
        const double pad = (high - low) * margin;
        low -= pad, high += pad;
    } else {
        const double pad = std::max(std::abs(low) * 0.05, 1e-12);
        low -= pad, high += pad;
    }
    axis.setRange(low, high);
    axis.applyNiceNumbers();
    axis.setLabelFormat(axisticks::linearFormat(axis.min(), axis.max(), axis.tickCount()));
}

void fitLogarithmic(QLogValueAxis& axis, double low, double high, int labels)
{
    // An end a rounding away from a power of ten (1 - q for 1 - 1e-9 is
    // 9.99999997e-10) counts as that power, not one decade more.
    const int lowDecade = static_cast<int>(std::floor(std::log10(low) + 1e-6));
    const int highDecade = static_cast<int>(std::ceil(std::log10(high) - 1e-6));
    axis.setBase(axisticks::logBase(lowDecade, highDecade, labels));
    axis.setRange(low, high);
}

} // namespace cosmophase::axisfit

#include "PlotAxes.h"

#include "PlotGeometry.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plot = cosmophase::plot;

PlotAxes::PlotAxes(const QFont& font)
    : m_font(font)
{
    const QFontMetrics metrics(m_font);
    for (double v : plot::tickValues())
        m_label_width = std::max(m_label_width, metrics.horizontalAdvance(tickLabel(v)));
    const int line = metrics.height();
    // Left: ticks, labels, the upright title; bottom: ticks, labels, title.
    // The outermost labels are centred on the square's edges and overhang.
    m_margins = QMargins(kTickLength + m_label_width + line + 3 * kGap, line / 2 + 1, m_label_width / 2 + 1,
                         kTickLength + 2 * line + 2 * kGap);
}

QString PlotAxes::tickLabel(double value)
{
    return QString::number(value).replace(QLatin1Char('-'), QChar(0x2212));
}

QString PlotAxes::tickLabel(double value, double step)
{
    if (value == 0)
        return QStringLiteral("0");
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int resolution = static_cast<int>(std::floor(std::log10(step)));
    // Whole steps read as whole numbers ("600", not "6e+02") while they stay
    // short; finer and larger ones keep just the digits the step resolves.
    const QString text = step >= 1 && std::fabs(value) < 1e6
                             ? QString::number(value, 'f', 0)
                             : QString::number(value, 'g', std::max(1, magnitude - resolution + 1));
    return QString(text).replace(QLatin1Char('-'), QChar(0x2212));
}

void PlotAxes::paint(QPainter& painter, const QRect& square, const plot::PlotWindow& window) const
{
    const QFontMetrics metrics(m_font);
    const int line = metrics.height();
    const int side = square.width();
    const int labelsTop = square.bottom() + 1 + kTickLength + kGap;
    const int labelsRight = square.left() - kTickLength - kGap;
    painter.setFont(m_font);
    // Zoomed labels may be wider than the fixed ones; the upright title
    // then stands clear of them, out into the room beside the margin.
    int labelWidth = m_label_width;

    if (window.isFull()) {
        for (double v : plot::tickValues()) {
            // Where the GL projection puts v: a fraction (v + 2) / 4 of the side.
            const double across = (v + 2) / 4 * side;
            const int x = square.left() + static_cast<int>(std::lround(across));
            const int y = square.top() + static_cast<int>(std::lround(side - across));
            const QString label = tickLabel(v);
            const int width = metrics.horizontalAdvance(label);
            painter.drawLine(x, square.bottom() + 1, x, square.bottom() + kTickLength);
            painter.drawLine(square.left() - kTickLength, y, square.left() - 1, y);
            painter.drawText(QRect(x - width, labelsTop, 2 * width, line), Qt::AlignCenter, label);
            painter.drawText(QRect(labelsRight - width, y - line / 2, width, line),
                             Qt::AlignRight | Qt::AlignVCenter, label);
        }
    } else {
        const double step = window.tickStep();
        for (double v : window.ticks(window.left(), window.right())) {
            const int x = square.left() + static_cast<int>(std::lround(window.acrossFraction(v) * side));
            const QString label = tickLabel(v, step);
            const int width = metrics.horizontalAdvance(label);
            painter.drawLine(x, square.bottom() + 1, x, square.bottom() + kTickLength);
            painter.drawText(QRect(x - width, labelsTop, 2 * width, line), Qt::AlignCenter, label);
        }
        for (double v : window.ticks(window.bottom(), window.top())) {
            const int y = square.top() + static_cast<int>(std::lround(window.downFraction(v) * side));
            const QString label = tickLabel(v, step);
            const int width = metrics.horizontalAdvance(label);
            painter.drawLine(square.left() - kTickLength, y, square.left() - 1, y);
            labelWidth = std::max(labelWidth, width);
            painter.drawText(QRect(labelsRight - width, y - line / 2, width, line),
                             Qt::AlignRight | Qt::AlignVCenter, label);
        }
    }

    painter.drawText(QRect(square.left(), labelsTop + line + kGap, side, line), Qt::AlignHCenter, QStringLiteral("z2"));
    // Turned a quarter to the left, so that it reads upwards.
    painter.save();
    painter.translate(labelsRight - labelWidth - kGap - line, square.bottom() + 1);
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, side, line), Qt::AlignHCenter, QStringLiteral("w0"));
    painter.restore();
}

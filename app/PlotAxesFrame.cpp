#include "PlotAxesFrame.h"

#include "PlotGeometry.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace plot = cosmophase::plot;

PlotAxesFrame::PlotAxesFrame(QWidget* parent)
    : SquarePlotFrame(parent)
{
    updateMargins();
}

QString PlotAxesFrame::tickLabel(double value)
{
    return QString::number(value).replace(QLatin1Char('-'), QChar(0x2212));
}

QSize PlotAxesFrame::sizeHint() const
{
    return SquarePlotFrame::sizeHint().grownBy(contentsMargins());
}

QSize PlotAxesFrame::minimumSizeHint() const
{
    return SquarePlotFrame::minimumSizeHint().grownBy(contentsMargins());
}

void PlotAxesFrame::updateMargins()
{
    const QFontMetrics metrics = fontMetrics();
    m_label_width = 0;
    for (double v : plot::tickValues())
        m_label_width = std::max(m_label_width, metrics.horizontalAdvance(tickLabel(v)));
    const int line = metrics.height();
    // Left: ticks, labels, the upright title; bottom: ticks, labels, title.
    // The outermost labels are centred on the square's edges and overhang.
    setContentsMargins(kTickLength + m_label_width + line + 3 * kGap, line / 2 + 1, m_label_width / 2 + 1,
                       kTickLength + 2 * line + 2 * kGap);
    updateGeometry();
}

void PlotAxesFrame::changeEvent(QEvent* event)
{
    SquarePlotFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        updateMargins();
        placePlot();
    }
}

void PlotAxesFrame::paintEvent(QPaintEvent*)
{
    const QRect square = plotRect();
    if (square.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const int side = square.width();
    const int labelsTop = square.bottom() + 1 + kTickLength + kGap;
    const int labelsRight = square.left() - kTickLength - kGap;

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

    painter.drawText(QRect(square.left(), labelsTop + line + kGap, side, line), Qt::AlignHCenter, QStringLiteral("z2"));
    // Turned a quarter to the left, so that it reads upwards.
    painter.translate(labelsRight - m_label_width - kGap - line, square.bottom() + 1);
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, side, line), Qt::AlignHCenter, QStringLiteral("w0"));
}

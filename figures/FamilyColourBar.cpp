#include "FamilyColourBar.h"

#include "PlotLegend.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace plot = cosmophase::plot;

namespace {

constexpr int kPadding = 4;

QString valueText(double v)
{
    return QString::number(v, 'g', 3).replace(QLatin1Char('-'), QChar(0x2212));
}

} // namespace

QSize FamilyColourBar::size(const QFont& font)
{
    const QFontMetrics metrics(font);
    return {kBarWidth + 2 * kPadding + metrics.horizontalAdvance(QStringLiteral("\u22129.99")),
            2 * metrics.height() + kBarHeight + 3 * kPadding};
}

QRect FamilyColourBar::boxIn(const QRect& square, QSize size)
{
    return {QPoint(square.left() + PlotLegend::kMargin, square.bottom() + 1 - PlotLegend::kMargin - size.height()),
            size};
}

std::vector<double> FamilyColourBar::labelledValues(const plot::FamilyScale& scale)
{
    std::vector<double> values{scale.low};
    if (!(scale.high > scale.low))
        return values;
    const double first = std::ceil(scale.low);
    const double last = std::floor(scale.high);
    const int whole = last >= first ? static_cast<int>(last - first) + 1 : 0;
    const int step = std::max(1, static_cast<int>(std::ceil(whole / 5.0)));
    const double room = (scale.high - scale.low) / 5; // labels keep clear of the ends'
    for (double v = first; v <= last; v += step) {
        if (v - scale.low > room && scale.high - v > room)
            values.push_back(v);
    }
    values.push_back(scale.high);
    return values;
}

void FamilyColourBar::paintBox(QPainter& painter, const QRect& box, const plot::FamilyScale& scale, const QFont& font)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
    const QFontMetrics metrics(font);
    painter.setPen(Qt::black);
    const QRect title(box.left() + kPadding, box.top() + kPadding, box.width() - 2 * kPadding, metrics.height());
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter,
                     QCoreApplication::translate("FamilyColourBar", "log10(1 \u2212 q) of the family"));
    const int left = box.left() + (box.width() - kBarWidth) / 2;
    const int top = title.bottom() + 1 + kPadding;
    for (int x = 0; x < kBarWidth; ++x) {
        const plot::Colour c = plot::familyColour(x / (kBarWidth - 1.0));
        painter.fillRect(QRect(left + x, top, 1, kBarHeight), QColor::fromRgbF(c.red, c.green, c.blue));
    }
    const double span = scale.high - scale.low;
    for (double v : labelledValues(scale)) {
        const double fraction = span > 0 ? (v - scale.low) / span : 0.5;
        const int x = left + static_cast<int>(std::lround(fraction * (kBarWidth - 1)));
        painter.drawLine(x, top + kBarHeight, x, top + kBarHeight + 2);
        const QString text = valueText(v);
        const int width = metrics.horizontalAdvance(text);
        painter.drawText(QRect(x - width / 2, top + kBarHeight + 2, width, metrics.height()), Qt::AlignCenter, text);
    }
    painter.restore();
}

void FamilyColourBar::paint(QPainter& painter, const QRect& square, const plot::FamilyScale& scale, const QFont& font)
{
    const QSize barSize = size(font);
    paintBox(painter, boxIn(square, barSize), scale, font);
}

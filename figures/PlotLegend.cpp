#include "PlotLegend.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace plot = cosmophase::plot;

namespace {

constexpr int kPadding = 4;
constexpr int kSwatch = 18;

QColor colourOf(const plot::Colour& c)
{
    return QColor::fromRgbF(c.red, c.green, c.blue);
}

} // namespace

std::vector<PlotLegend::Entry> PlotLegend::entries(const plot::FrameContent& content)
{
    std::vector<Entry> shown;
    for (int id = 0; id < plot::FrameContent::LayerCount; ++id) {
        const auto layerId = static_cast<plot::FrameContent::LayerId>(id);
        const plot::Layer& layer = content.layer(layerId);
        const char* name = plot::FrameContent::layerName(layerId);
        if (layer.shown && *name != '\0')
            shown.push_back({QCoreApplication::translate("PlotLegend", name), layer.style.colour});
    }
    return shown;
}

QSize PlotLegend::size(const std::vector<Entry>& entries, const QFont& font)
{
    const QFontMetrics metrics(font);
    int width = 0;
    for (const Entry& entry : entries)
        width = std::max(width, metrics.horizontalAdvance(entry.name));
    return {kSwatch + 3 * kPadding + width, static_cast<int>(entries.size()) * metrics.height() + 2 * kPadding};
}

QRect PlotLegend::boxIn(const QRect& square, QSize size)
{
    return {square.right() + 1 - kMargin - size.width(), square.top() + kMargin, size.width(), size.height()};
}

void PlotLegend::paintBox(QPainter& painter, const QRect& box, const std::vector<Entry>& entries, const QFont& font)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
    const QFontMetrics metrics(font);
    int y = box.top() + kPadding;
    for (const Entry& entry : entries) {
        const int middle = y + metrics.height() / 2;
        painter.setPen(QPen(colourOf(entry.colour), 3, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(box.left() + kPadding, middle, box.left() + kPadding + kSwatch, middle);
        painter.setPen(Qt::black);
        painter.drawText(QRect(box.left() + 2 * kPadding + kSwatch, y, box.width(), metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, entry.name);
        y += metrics.height();
    }
    painter.restore();
}

void PlotLegend::paint(QPainter& painter, const QRect& square, const plot::FrameContent& content, const QFont& font)
{
    const std::vector<Entry> shown = entries(content);
    if (shown.empty())
        return;
    paintBox(painter, boxIn(square, size(shown, font)), shown, font);
}

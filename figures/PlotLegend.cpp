#include "PlotLegend.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <array>

namespace plot = cosmophase::plot;

namespace {

constexpr int kPadding = 4;
constexpr int kSwatch = 18;
constexpr qreal kDotDiameter = 8;
constexpr qreal kHeadSide = 5;

QColor colourOf(const plot::Colour& c)
{
    return QColor::fromRgbF(c.red, c.green, c.blue);
}

PlotLegend::Swatch swatchOf(plot::FrameContent::LayerId id)
{
    switch (id) {
    case plot::FrameContent::Equilibria:
    case plot::FrameContent::Marker:
        return PlotLegend::Swatch::Dot;
    case plot::FrameContent::Traces:
        return PlotLegend::Swatch::LineWithDot;
    case plot::FrameContent::DirectionField:
        return PlotLegend::Swatch::Arrow;
    default:
        return PlotLegend::Swatch::Line;
    }
}

// Cohen–Sutherland's outcodes: a segment misses the box when both ends lie
// beyond the same edge; otherwise it is clipped until it is inside or out.
bool crosses(QLineF segment, const QRectF& box)
{
    const auto code = [&box](QPointF p) {
        return (p.x() < box.left() ? 1 : 0) | (p.x() > box.right() ? 2 : 0) | (p.y() < box.top() ? 4 : 0)
             | (p.y() > box.bottom() ? 8 : 0);
    };
    QPointF a = segment.p1(), b = segment.p2();
    for (int round = 0; round < 4; ++round) {
        const int ca = code(a), cb = code(b);
        if ((ca | cb) == 0)
            return true;
        if ((ca & cb) != 0)
            return false;
        const int out = ca != 0 ? ca : cb;
        QPointF& moved = ca != 0 ? a : b;
        const QPointF d = b - a;
        if (out & 1)
            moved = {box.left(), a.y() + d.y() * (box.left() - a.x()) / d.x()};
        else if (out & 2)
            moved = {box.right(), a.y() + d.y() * (box.right() - a.x()) / d.x()};
        else if (out & 4)
            moved = {a.x() + d.x() * (box.top() - a.y()) / d.y(), box.top()};
        else
            moved = {a.x() + d.x() * (box.bottom() - a.y()) / d.y(), box.bottom()};
    }
    return code(a) == 0 || code(b) == 0;
}

void appendRunEntries(std::vector<PlotLegend::Entry>& shown, const plot::RunCurves& runs)
{
    for (const plot::RunCurve& run : runs.pinned) {
        if (run.shown)
            shown.push_back({QString::fromStdString(run.label), run.colour, PlotLegend::Swatch::Line});
    }
    if (runs.scale && !runs.family.empty())
        shown.push_back({QCoreApplication::translate("PlotLegend", "Family, %1")
                             .arg(QString::fromStdString(runs.scale->title)),
                         {}, PlotLegend::Swatch::Gradient});
}

} // namespace

std::vector<PlotLegend::Entry> PlotLegend::entries(const plot::FrameContent& content, const plot::RunCurves* runs)
{
    std::vector<Entry> shown;
    for (int id = 0; id < plot::FrameContent::LayerCount; ++id) {
        const auto layerId = static_cast<plot::FrameContent::LayerId>(id);
        const plot::Layer& layer = content.layer(layerId);
        const char* name = plot::FrameContent::layerName(layerId);
        if (layer.shown && *name != '\0')
            shown.push_back({QCoreApplication::translate("PlotLegend", name), layer.style.colour, swatchOf(layerId)});
        if (layerId == plot::FrameContent::Trajectory && runs)
            appendRunEntries(shown, *runs);
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

QRect PlotLegend::boxIn(const QRect& square, QSize size, const plot::FrameContent& content,
                        const plot::PlotWindow& window, const plot::RunCurves* runs)
{
    const int left = square.left() + kMargin;
    const int right = square.right() + 1 - kMargin - size.width();
    const int top = square.top() + kMargin;
    const int bottom = square.bottom() + 1 - kMargin - size.height();
    const std::array<QRect, 4> corners{QRect(QPoint(right, top), size), QRect(QPoint(left, top), size),
                                       QRect(QPoint(right, bottom), size), QRect(QPoint(left, bottom), size)};
    const auto toSquare = [&](plot::Point p) {
        return QPointF(square.left() + window.acrossFraction(p.x) * square.width(),
                       square.top() + window.downFraction(p.y) * square.height());
    };
    std::array<int, 4> hidden{};
    const auto countStrips = [&](const std::vector<std::vector<plot::Point>>& strips) {
        for (std::size_t c = 0; c < corners.size(); ++c) {
            const QRectF box(corners[c]);
            for (const std::vector<plot::Point>& strip : strips)
                for (std::size_t k = 1; k < strip.size(); ++k)
                    hidden[c] += crosses({toSquare(strip[k - 1]), toSquare(strip[k])}, box) ? 1 : 0;
        }
    };
    if (runs) {
        for (const auto* list : {&runs->pinned, &runs->family})
            for (const plot::RunCurve& run : *list)
                if (run.shown)
                    countStrips(run.strips);
    }
    for (int id = 0; id < plot::FrameContent::LayerCount; ++id) {
        const plot::Layer& layer = content.layer(static_cast<plot::FrameContent::LayerId>(id));
        if (!layer.shown || id == plot::FrameContent::Grid || id == plot::FrameContent::DirectionField
            || id == plot::FrameContent::Marker)
            continue;
        for (std::size_t c = 0; c < corners.size(); ++c) {
            const QRectF box(corners[c]);
            for (const std::vector<plot::Point>& strip : layer.strips)
                for (std::size_t k = 1; k < strip.size(); ++k)
                    hidden[c] += crosses({toSquare(strip[k - 1]), toSquare(strip[k])}, box) ? 1 : 0;
            for (std::size_t k = 0; k + 1 < layer.lines.size(); k += 2)
                hidden[c] += crosses({toSquare(layer.lines[k]), toSquare(layer.lines[k + 1])}, box) ? 1 : 0;
            for (const auto* dots : {&layer.points, &layer.disks})
                for (const plot::Point& p : *dots)
                    hidden[c] += box.contains(toSquare(p)) ? 1 : 0;
        }
    }
    return corners[static_cast<std::size_t>(std::min_element(hidden.begin(), hidden.end()) - hidden.begin())];
}

void PlotLegend::paintBox(QPainter& painter, const QRect& box, const std::vector<Entry>& entries, const QFont& font)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
    const QFontMetrics metrics(font);
    int y = box.top() + kPadding;
    for (const Entry& entry : entries) {
        const qreal middle = y + metrics.height() / 2.0;
        const qreal start = box.left() + kPadding;
        const QColor colour = colourOf(entry.colour);
        painter.setPen(entry.swatch == Swatch::Dot ? Qt::NoPen : QPen(colour, 2, Qt::SolidLine, Qt::FlatCap));
        painter.setBrush(colour);
        switch (entry.swatch) {
        case Swatch::Dot:
            painter.drawEllipse(QPointF(start + kSwatch / 2.0, middle), kDotDiameter / 2, kDotDiameter / 2);
            break;
        case Swatch::Line:
            painter.drawLine(QPointF(start, middle), QPointF(start + kSwatch, middle));
            break;
        case Swatch::LineWithDot:
            painter.drawLine(QPointF(start, middle), QPointF(start + kSwatch, middle));
            painter.fillRect(QRectF(start + kSwatch / 2.0 - 2.5, middle - 2.5, 5, 5), colour);
            break;
        case Swatch::Arrow:
            painter.drawLine(QPointF(start, middle), QPointF(start + kSwatch - kHeadSide / 2, middle));
            painter.fillRect(QRectF(start + kSwatch - kHeadSide, middle - kHeadSide / 2, kHeadSide, kHeadSide), colour);
            break;
        case Swatch::Gradient:
            for (int x = 0; x < kSwatch; ++x)
                painter.fillRect(QRectF(start + x, middle - 2, 1, 4), colourOf(plot::familyColour(x / (kSwatch - 1.0))));
            break;
        }
        painter.setPen(Qt::black);
        painter.drawText(QRect(box.left() + 2 * kPadding + kSwatch, y, box.width(), metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, entry.name);
        y += metrics.height();
    }
    painter.restore();
}

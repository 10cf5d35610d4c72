#include "PhasePlaneFigure.h"

#include "FamilyColourBar.h"
#include "PlotLegend.h"

#include <QFontInfo>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace plot = cosmophase::plot;

namespace {

// GL rounds a float component to the nearest of 256 levels.
QColor colourOf(const plot::Colour& c)
{
    return QColor(qRound(c.red * 255.0f), qRound(c.green * 255.0f), qRound(c.blue * 255.0f));
}

// Fonts given in points are scaled by each device's resolution (72 dpi for
// SVG and PDF); in pixels the labels keep their size on screen.
QFont inPixels(const QFont& font)
{
    QFont pixels(font);
    pixels.setPixelSize(QFontInfo(font).pixelSize());
    return pixels;
}

} // namespace

PhasePlaneFigure::PhasePlaneFigure(const plot::FrameContent& content, int side, const QFont& font,
                                   const plot::PlotWindow& window, bool legend, const plot::RunCurves* runs)
    : m_content(content)
    , m_side(side)
    , m_axes(inPixels(font))
    , m_window(window)
    , m_legend(legend)
    , m_runs(runs != nullptr && !runs->empty() ? runs : nullptr)
{
}

QRect PhasePlaneFigure::plotRect() const
{
    return QRect(m_axes.margins().left(), m_axes.margins().top(), m_side, m_side);
}

QSize PhasePlaneFigure::size() const
{
    return QSize(m_side, m_side).grownBy(m_axes.margins());
}

QPointF PhasePlaneFigure::toFigure(plot::Point p) const
{
    // As glOrtho(-2, 2, -2, 2) maps the plot onto the square, rows downwards.
    const QRect square = plotRect();
    if (!m_window.isFull())
        return {square.left() + m_window.acrossFraction(p.x) * m_side, square.top() + m_window.downFraction(p.y) * m_side};
    return {square.left() + (p.x + 2) / 4 * m_side, square.top() + (2 - p.y) / 4 * m_side};
}

QVector<qreal> PhasePlaneFigure::dashPattern(unsigned short stipple, int factor, qreal penWidth)
{
    QVector<qreal> runs;
    bool on = true;
    int run = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if (((stipple >> bit) & 1) != on) {
            runs.append(run * factor / penWidth);
            on = !on;
            run = 0;
        }
        ++run;
    }
    runs.append(run * factor / penWidth);
    if (runs.size() % 2 != 0)
        runs.append(0);
    return runs;
}

void PhasePlaneFigure::paint(QPainter& painter) const
{
    paintStill(painter);
    paintMoving(painter, m_content.layer(plot::FrameContent::Marker).disks.front(), legendBox());
}

void PhasePlaneFigure::paintStill(QPainter& painter) const
{
    const QRect square = plotRect();
    painter.fillRect(QRect(QPoint(), size()), Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    m_axes.paint(painter, square, m_window);

    painter.save();
    painter.setClipRect(square);
    // On screen the first item drawn at a pixel stays in front (depth test),
    // so a painter, where the last one wins, goes through them backwards;
    // the marker and the equilibria in front of it move to paintMoving().
    const auto& layers = m_content.layers();
    for (int id = plot::FrameContent::LayerCount - 1; id > plot::FrameContent::Marker; --id) {
        // The runs lie just behind the trajectory.
        if (m_runs && id == plot::FrameContent::Trajectory)
            paintRuns(painter);
        if (layers[id].shown)
            paintLayer(painter, layers[id]);
    }
    if (m_runs && m_runs->scale && !m_runs->family.empty())
        FamilyColourBar::paint(painter, square, *m_runs->scale, m_axes.font());
    painter.restore();
}

QRect PhasePlaneFigure::legendBox() const
{
    if (!m_legend)
        return {};
    const std::vector<PlotLegend::Entry> shown = PlotLegend::entries(m_content, m_runs);
    if (shown.empty())
        return {};
    return PlotLegend::boxIn(plotRect(), PlotLegend::size(shown, m_axes.font()), m_content, m_window, m_runs);
}

void PhasePlaneFigure::paintMoving(QPainter& painter, plot::Point marker, const QRect& legendBox) const
{
    painter.save();
    painter.setClipRect(plotRect());
    plot::Layer markerLayer = m_content.layer(plot::FrameContent::Marker);
    if (markerLayer.shown) {
        markerLayer.disks = {marker};
        paintLayer(painter, markerLayer);
    }
    const plot::Layer& equilibria = m_content.layer(plot::FrameContent::Equilibria);
    if (equilibria.shown)
        paintLayer(painter, equilibria);
    if (!legendBox.isNull())
        PlotLegend::paintBox(painter, legendBox, PlotLegend::entries(m_content, m_runs), m_axes.font());
    painter.restore();
}

void PhasePlaneFigure::paintRuns(QPainter& painter) const
{
    painter.setBrush(Qt::NoBrush);
    const auto paintList = [&](const std::vector<plot::RunCurve>& runs, qreal width) {
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            if (!run->shown)
                continue;
            painter.setPen(QPen(colourOf(run->colour), width, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
            for (const std::vector<plot::Point>& strip : run->strips) {
                QPolygonF polyline;
                polyline.reserve(static_cast<int>(strip.size()));
                for (const plot::Point& p : strip)
                    polyline.append(toFigure(p));
                painter.drawPolyline(polyline);
            }
        }
    };
    paintList(m_runs->family, plot::RunCurves::kFamilyWidth);
    paintList(m_runs->pinned, plot::RunCurves::kPinnedWidth);
}

void PhasePlaneFigure::paintPoint(QPainter& painter, plot::Point p, qreal size) const
{
    const QPointF centre = toFigure(p);
    painter.drawRect(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
}

void PhasePlaneFigure::paintLayer(QPainter& painter, const plot::Layer& layer) const
{
    const QColor colour = colourOf(layer.style.colour);
    const qreal width = layer.style.lineWidth;
    QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
    if (layer.style.stipple != 0)
        pen.setDashPattern(dashPattern(layer.style.stipple, layer.style.stippleFactor, width));

    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen);
    for (std::size_t k = 0; k + 1 < layer.lines.size(); k += 2)
        painter.drawLine(toFigure(layer.lines[k]), toFigure(layer.lines[k + 1]));
    for (const std::vector<plot::Point>& strip : layer.strips) {
        QPolygonF polyline;
        polyline.reserve(static_cast<int>(strip.size()));
        for (const plot::Point& p : strip)
            polyline.append(toFigure(p));
        painter.drawPolyline(polyline);
    }
    for (const plot::Arrow& arrow : layer.arrows) {
        const plot::Point tail{arrow.site.x + arrow.offset.x, arrow.site.y + arrow.offset.y};
        painter.drawLine(toFigure(tail), toFigure({tail.x + arrow.head.x, tail.y + arrow.head.y}));
    }

    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const qreal pointSize = layer.style.pointSize;
    for (const plot::Point& p : layer.points)
        paintPoint(painter, p, pointSize);
    for (std::size_t k = 0; k + 2 < layer.triangles.size(); k += 3)
        painter.drawPolygon(QPolygonF{toFigure(layer.triangles[k]), toFigure(layer.triangles[k + 1]),
                                      toFigure(layer.triangles[k + 2])});
    for (const plot::Arrow& arrow : layer.arrows)
        paintPoint(painter, {arrow.site.x + arrow.offset.x + arrow.head.x, arrow.site.y + arrow.offset.y + arrow.head.y},
                   pointSize);
    // GLU's disk: slice i ends at angle 2 pi i / slices from the +y axis.
    for (const plot::Point& centre : layer.disks) {
        QPolygonF disk;
        for (int i = 0; i < plot::kDiskSlices; ++i) {
            const double angle = 2 * M_PI * i / plot::kDiskSlices;
            disk.append(toFigure({centre.x + layer.diskRadius * std::sin(angle),
                                  centre.y + layer.diskRadius * std::cos(angle)}));
        }
        painter.drawPolygon(disk);
    }
}

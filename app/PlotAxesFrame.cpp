#include "PlotAxesFrame.h"

#include <QEvent>
#include <QPainter>

PlotAxesFrame::PlotAxesFrame(QWidget* parent)
    : SquarePlotFrame(parent)
    , m_axes(font())
{
    updateMargins();
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
    m_axes = PlotAxes(font());
    setContentsMargins(m_axes.margins());
    updateGeometry();
}

void PlotAxesFrame::setPlotWindow(const cosmophase::plot::PlotWindow& window)
{
    m_window = window;
    update();
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
    m_axes.paint(painter, square, m_window);
}

#include "SquarePlotFrame.h"

#include <QResizeEvent>

#include <algorithm>

SquarePlotFrame::SquarePlotFrame(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize SquarePlotFrame::sizeHint() const
{
    return {620, 620};
}

QSize SquarePlotFrame::minimumSizeHint() const
{
    return {240, 240};
}

void SquarePlotFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placePlot();
}

QRect SquarePlotFrame::plotRect() const
{
    const QRect area = contentsRect();
    const int side = std::max(0, std::min(area.width(), area.height()));
    return {area.left() + (area.width() - side) / 2, area.top() + (area.height() - side) / 2, side, side};
}

void SquarePlotFrame::placePlot()
{
    const QRect square = plotRect();
    for (QObject* child : children()) {
        if (auto* widget = qobject_cast<QWidget*>(child))
            widget->setGeometry(square);
    }
}

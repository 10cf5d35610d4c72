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

void SquarePlotFrame::placePlot()
{
    const int side = std::min(width(), height());
    const QRect square((width() - side) / 2, (height() - side) / 2, side, side);
    for (QObject* child : children()) {
        if (auto* widget = qobject_cast<QWidget*>(child))
            widget->setGeometry(square);
    }
}

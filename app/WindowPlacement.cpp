#include "WindowPlacement.h"

WindowPlacement WindowPlacement::within(const QRect& available, const QMargins& frame, const QSize& preferred)
{
    const QSize room = available.marginsRemoved(frame).size();
    WindowPlacement placement;
    placement.size = preferred.boundedTo(room).expandedTo(QSize(1, 1));
    const QSize outer = placement.size.grownBy(frame);
    placement.framePosition = available.topLeft()
        + QPoint(qMax(0, (available.width() - outer.width()) / 2), qMax(0, (available.height() - outer.height()) / 2));
    return placement;
}

WindowPlacement WindowPlacement::keptWithin(const QRect& available, const QMargins& frame, const QRect& geometry)
{
    const QSize room = available.marginsRemoved(frame).size();
    WindowPlacement placement;
    placement.size = geometry.size().boundedTo(room).expandedTo(QSize(1, 1));
    const QSize outer = placement.size.grownBy(frame);
    const QPoint wanted = geometry.topLeft() - QPoint(frame.left(), frame.top());
    placement.framePosition = QPoint(
        qBound(available.left(), wanted.x(), qMax(available.left(), available.right() + 1 - outer.width())),
        qBound(available.top(), wanted.y(), qMax(available.top(), available.bottom() + 1 - outer.height())));
    return placement;
}

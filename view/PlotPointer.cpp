#include "PlotPointer.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

PlotPointer::PlotPointer(QWidget& plot, QObject* parent)
    : QObject(parent)
    , m_plot(plot)
{
    m_plot.setMouseTracking(true);
    m_plot.installEventFilter(this);
}

cosmophase::plot::Point PlotPointer::plotPointAt(QPointF position) const
{
    // The same device size as the viewport, truncated the same way.
    const qreal ratio = m_plot.devicePixelRatioF();
    return m_window.pointAt((position.x() + 0.5) * ratio, (position.y() + 0.5) * ratio,
                            static_cast<int>(m_plot.width() * ratio), static_cast<int>(m_plot.height() * ratio));
}

bool PlotPointer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_plot)
        return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPointF at = static_cast<QMouseEvent*>(event)->position();
        // A drag carries on outside the widget; the read-out does not.
        if (QRectF(m_plot.rect()).contains(at))
            emit moved(plotPointAt(at));
        else
            emit left();
        break;
    }
    case QEvent::Leave:
        emit left();
        break;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            m_press = mouse->position();
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !m_press)
            break;
        const QPointF press = *m_press;
        m_press.reset();
        if ((mouse->position() - press).manhattanLength() <= kClickSlop
            && QRectF(m_plot.rect()).contains(press))
            emit clicked(plotPointAt(press));
        break;
    }
    default:
        break;
    }
    return false;
}

#include "PlotNavigation.h"

#include "MyOpenGLView.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace plot = cosmophase::plot;

PlotNavigation::PlotNavigation(MyOpenGLView& view, QObject* parent)
    : QObject(parent)
    , m_view(view)
{
    m_view.installEventFilter(this);
}

void PlotNavigation::zoomIn()
{
    plot::PlotWindow window = m_view.plotWindow();
    window.zoomAbout(window.centre(), kZoomStep);
    m_view.setPlotWindow(window);
}

void PlotNavigation::zoomOut()
{
    plot::PlotWindow window = m_view.plotWindow();
    window.zoomAbout(window.centre(), 1 / kZoomStep);
    m_view.setPlotWindow(window);
}

void PlotNavigation::resetView()
{
    m_view.setPlotWindow({});
}

void PlotNavigation::zoomAbout(QPointF position, double factor)
{
    plot::PlotWindow window = m_view.plotWindow();
    // The same mapping as the status-bar read-out, so the point under the
    // pointer stays under it.
    const qreal ratio = m_view.devicePixelRatioF();
    const plot::Point fixed = window.pointAt((position.x() + 0.5) * ratio, (position.y() + 0.5) * ratio,
                                             static_cast<int>(m_view.width() * ratio),
                                             static_cast<int>(m_view.height() * ratio));
    window.zoomAbout(fixed, factor);
    m_view.setPlotWindow(window);
}

void PlotNavigation::panBy(QPointF pixels)
{
    if (m_view.width() <= 0 || m_view.height() <= 0)
        return;
    plot::PlotWindow window = m_view.plotWindow();
    // The plane follows the pointer: the window moves the other way.
    window.panBy(-pixels.x() * window.side() / m_view.width(), pixels.y() * window.side() / m_view.height());
    m_view.setPlotWindow(window);
}

bool PlotNavigation::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_view)
        return false;
    switch (event->type()) {
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y();
        if (notches == 0)
            return false;
        zoomAbout(wheel->position(), std::pow(kZoomStep, notches / 120.0));
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton && mouse->button() != Qt::MiddleButton)
            return false;
        m_pan_from = mouse->position();
        m_view.setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_pan_from || !(mouse->buttons() & (Qt::RightButton | Qt::MiddleButton)))
            return false;
        panBy(mouse->position() - *m_pan_from);
        m_pan_from = mouse->position();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_pan_from || (mouse->buttons() & (Qt::RightButton | Qt::MiddleButton)))
            return false;
        m_pan_from.reset();
        m_view.unsetCursor();
        return true;
    }
    default:
        return false;
    }
}

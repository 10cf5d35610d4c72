#include "LegendOverlay.h"

#include "MyOpenGLView.h"
#include "PlotLegend.h"

#include <QEvent>
#include <QPainter>

LegendOverlay::LegendOverlay(MyOpenGLView& view)
    : QWidget(&view)
    , m_view(view)
{
    // The pointer keeps reading out and tracing underneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    connect(&m_view, &MyOpenGLView::layersChanged, this, &LegendOverlay::place);
    connect(&m_view, &MyOpenGLView::plotWindowChanged, this, &LegendOverlay::place);
    m_view.installEventFilter(this);
}

void LegendOverlay::setShownOnPlot(bool shown)
{
    m_shown = shown;
    setVisible(shown);
    place();
}

void LegendOverlay::place()
{
    if (!m_shown)
        return;
    const QSize size = PlotLegend::size(PlotLegend::entries(m_view.frameContent(), &m_view.runCurves()), font());
    setGeometry(PlotLegend::boxIn(m_view.rect(), size, m_view.shownContent(), m_view.plotWindow(), &m_view.runCurves()));
    raise();
    update();
}

bool LegendOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_view && event->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, event);
}

void LegendOverlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PlotLegend::paintBox(painter, rect(), PlotLegend::entries(m_view.frameContent(), &m_view.runCurves()), font());
}

#include "PhasePlaneInteraction.h"

#include "MyOpenGLView.h"
#include "SolutionTrace.h"

#include <QStatusBar>

namespace plot = cosmophase::plot;

PhasePlaneInteraction::PhasePlaneInteraction(MyOpenGLView& view, QStatusBar& statusBar, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_status_bar(statusBar)
    , m_pointer(view)
{
    connect(&m_pointer, &PlotPointer::moved, this, &PhasePlaneInteraction::showReadout);
    connect(&m_pointer, &PlotPointer::left, &m_status_bar, &QStatusBar::clearMessage);
    connect(&m_pointer, &PlotPointer::clicked, this, &PhasePlaneInteraction::traceFrom);
    connect(&m_view, &MyOpenGLView::plotWindowChanged, &m_pointer, &PlotPointer::setPlotWindow);
}

QString PhasePlaneInteraction::readoutText(plot::Point at, plot::Point field)
{
    return QString::asprintf("z2 = %.4f, w0 = %.4f; field: z2' = %.4f, w0' = %.4f", at.x, at.y, field.x, field.y);
}

void PhasePlaneInteraction::showReadout(plot::Point at)
{
    // The view's own Simulation, left with the direction flag true by its
    // build: the field exactly as the arrows draw it.
    if (!m_view.curves().isBuilt())
        return;
    m_status_bar.showMessage(readoutText(at, plot::fieldAt(m_view.curves().simulation(), at)));
}

void PhasePlaneInteraction::traceFrom(plot::Point at)
{
    m_traces.add(cosmophase::traceThrough(at.x, at.y));
    tracesEdited();
}

void PhasePlaneInteraction::undoTrace()
{
    if (m_traces.undoNewest())
        tracesEdited();
}

void PhasePlaneInteraction::clearTraces()
{
    if (m_traces.empty())
        return;
    m_traces.clear();
    tracesEdited();
}

void PhasePlaneInteraction::tracesEdited()
{
    m_view.setTraces(m_traces.traces());
    emit tracesChanged(static_cast<int>(m_traces.size()));
}

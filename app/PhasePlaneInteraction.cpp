#include "PhasePlaneInteraction.h"

#include "MyOpenGLView.h"
#include "SolutionTrace.h"

#include <QStatusBar>

#include <algorithm>
#include <cmath>
#include <utility>

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

int PhasePlaneInteraction::decimalsFor(const plot::PlotWindow& window, int devicePixels)
{
    // Enough that two neighbouring pixels read differently.
    const double pixel = window.side() / std::max(devicePixels, 1);
    return std::max(kMinDecimals, static_cast<int>(std::ceil(-std::log10(pixel))));
}

QString PhasePlaneInteraction::readoutText(plot::Point at, plot::Point field, int decimals)
{
    return QString::asprintf("z2 = %.*f, w0 = %.*f; field: z2' = %.*f, w0' = %.*f", decimals, at.x, decimals, at.y,
                             decimals, field.x, decimals, field.y);
}

void PhasePlaneInteraction::showReadout(plot::Point at)
{
    // The view's own Simulation, left with the direction flag true by its
    // build: the field exactly as the arrows draw it.
    if (!m_view.curves().isBuilt())
        return;
    const int pixels = static_cast<int>(m_view.width() * m_view.devicePixelRatioF());
    m_status_bar.showMessage(readoutText(at, plot::fieldAt(m_view.curves().simulation(), at),
                                         decimalsFor(m_view.plotWindow(), pixels)));
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

void PhasePlaneInteraction::redoTrace()
{
    if (m_traces.redo())
        tracesEdited();
}

void PhasePlaneInteraction::clearTraces()
{
    if (m_traces.empty())
        return;
    m_traces.clear();
    tracesEdited();
}

void PhasePlaneInteraction::replaceTraces(std::vector<cosmophase::SolutionTrace> traces)
{
    m_traces = {};
    for (cosmophase::SolutionTrace& trace : traces)
        m_traces.add(std::move(trace));
    tracesEdited();
}

void PhasePlaneInteraction::tracesEdited()
{
    m_view.shareTraces(m_traces.snapshot());
    emit tracesChanged(static_cast<int>(m_traces.size()));
}

#pragma once

#include "PhasePlaneTraces.h"
#include "PlotGeometry.h"
#include "PlotPointer.h"
#include "PlotWindow.h"

#include <QObject>
#include <QString>

#include <vector>

class MyOpenGLView;
class QStatusBar;

// What the mouse does over the phase plane: the status bar reads out the
// point under the pointer and the field there, and a click traces the
// solution through the clicked point both ways. The marker, the slider and
// playback are left alone.
class PhasePlaneInteraction : public QObject {
    Q_OBJECT

public:
    PhasePlaneInteraction(MyOpenGLView& view, QStatusBar& statusBar, QObject* parent = nullptr);

    const cosmophase::PhasePlaneTraces& traces() const { return m_traces; }

    // Decimals of the read-out: four over the whole square, more when
    // zoomed, enough to tell one pixel of `devicePixels` across from the next.
    static constexpr int kMinDecimals = 4;
    static int decimalsFor(const cosmophase::plot::PlotWindow& window, int devicePixels);

    // "z2 = 0.5000, w0 = -0.2500; field: z2' = ..., w0' = ..."
    static QString readoutText(cosmophase::plot::Point at, cosmophase::plot::Point field,
                               int decimals = kMinDecimals);

public slots:
    void traceFrom(cosmophase::plot::Point at);
    void undoTrace();
    void redoTrace();
    void clearTraces();
    // These traces in place of all others, with no edit to undo: a
    // reopened piece of work.
    void replaceTraces(std::vector<cosmophase::SolutionTrace> traces);

signals:
    void tracesChanged(int count);

private:
    void showReadout(cosmophase::plot::Point at);
    void tracesEdited();

    MyOpenGLView& m_view;
    QStatusBar& m_status_bar;
    PlotPointer m_pointer;
    cosmophase::PhasePlaneTraces m_traces;
};

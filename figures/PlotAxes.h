#pragma once

#include "PlotWindow.h"

#include <QFont>
#include <QMargins>
#include <QString>

class QPainter;
class QRect;

// The axes drawn around the square plot, laid out from a font: tick marks
// and labels where the grid lines run (-2, -1.5, ..., 2 unzoomed), "z2" under the
// horizontal axis and "w0" beside the vertical one, reading upwards. The
// window and saved figures share this, so both show the same axes.
class PlotAxes {
public:
    static constexpr int kTickLength = 4;
    static constexpr int kGap = 3;

    explicit PlotAxes(const QFont& font);

    // Room the axes take around the square.
    QMargins margins() const { return m_margins; }

    // Draws with the painter's pen, in font(), for the plot showing `window`.
    void paint(QPainter& painter, const QRect& square, const cosmophase::plot::PlotWindow& window = {}) const;

    const QFont& font() const { return m_font; }

    // "−1.5" (with a true minus sign), "0", "2".
    static QString tickLabel(double value);
    // A tick of a zoomed window, with as many digits as ticks `step` apart
    // need: "0.0125", "−4e-05".
    static QString tickLabel(double value, double step);

private:
    QFont m_font;
    int m_label_width = 0; // of the widest tick label
    QMargins m_margins;
};

#pragma once

#include "FrameContent.h"
#include "PlotAxes.h"
#include "RunCurves.h"

#include <QPointF>
#include <QRect>
#include <QSize>
#include <QVector>


class QPainter;

// The phase plane with its axes as vector drawing: every layer of a frame's
// content that is shown, over the window the content was made for, with the
// sizes the screen uses for a plot of the given side in pixels, the axes
// around it and, when asked for, the legend. The content must outlive the
// figure. Pinned runs and a family (laid out for the same window) are
// drawn where the screen draws them, with the family's colour bar.
class PhasePlaneFigure {
public:
    PhasePlaneFigure(const cosmophase::plot::FrameContent& content, int side, const QFont& font,
                     const cosmophase::plot::PlotWindow& window = {}, bool legend = false,
                     const cosmophase::plot::RunCurves* runs = nullptr);

    QSize size() const;
    // Where the plot square lies in the figure.
    QRect plotRect() const;

    void paint(QPainter& painter) const;

    // A movie paints what stays put once and, per frame, what moves over a
    // copy of it: paintStill() then paintMoving() paint exactly what paint()
    // does with the marker at `marker`. The marker does not count where the
    // legend goes, so its box (null without a legend) is placed once.
    void paintStill(QPainter& painter) const;
    QRect legendBox() const;
    void paintMoving(QPainter& painter, cosmophase::plot::Point marker, const QRect& legendBox) const;

    // A GL line stipple (lowest bit first, `factor` pixels a bit) as a QPen
    // dash pattern: lengths of dash, gap, dash, ... in pen widths.
    static QVector<qreal> dashPattern(unsigned short stipple, int factor, qreal penWidth);

private:
    QPointF toFigure(cosmophase::plot::Point p) const;
    void paintLayer(QPainter& painter, const cosmophase::plot::Layer& layer) const;
    void paintPoint(QPainter& painter, cosmophase::plot::Point p, qreal size) const;
    void paintRuns(QPainter& painter) const;

    const cosmophase::plot::FrameContent& m_content;
    int m_side = 0;
    PlotAxes m_axes;
    cosmophase::plot::PlotWindow m_window;
    bool m_legend = false;
    const cosmophase::plot::RunCurves* m_runs = nullptr;
};

#pragma once

#include "PhasePlaneFigure.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace cosmophase {

// A movie's pictures: the figure's still part painted once, and each frame
// a copy of it with the marker (and what lies in front of it) painted over,
// pixel for pixel what the figure paints as a PNG with the marker there.
// frame() may be called from several threads at once; the figure must
// outlive this.
class MovieFrames {
public:
    // `imageSize` is at least the figure's: a codec that needs even sides
    // gets a white column or row beyond it.
    MovieFrames(const PhasePlaneFigure& figure, QSize imageSize);

    QSize imageSize() const { return m_still.size(); }
    QImage frame(plot::Point marker) const;

private:
    const PhasePlaneFigure& m_figure;
    QImage m_still;
    QRect m_legendBox;
};

} // namespace cosmophase

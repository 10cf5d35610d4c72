#pragma once

#include "CurveSet.h"
#include "FrameContent.h"
#include "PlotWindow.h"
#include "SolutionTrace.h"

#include <vector>

namespace cosmophase::plot {

// The frame for a zoomed window. Nothing is computed again: the curves and
// traces are cut from their full point lists to what lies in the window
// (a curve thinned one in a hundred for the full square would show its
// corners here), keeping only the points a straight segment cannot pass
// within a fraction of a pixel of, so a zoomed frame costs about what the
// full one does. The grid, the
// 20 x 20 direction field, the disks and the arrowheads are laid out over
// the window at the sizes they have on screen unzoomed; the arrows measure
// the field in the window's units, so a zoomed saddle still shows its flow.
class WindowedContent {
public:
    // How far, as a fraction of the window's side, a point left out may lie
    // from the line drawn: half a pixel of a 1,000-pixel plot.
    static constexpr double kResolution = 1.0 / 2048;

    // The geometry that depends on the window or on the traces; the base
    // gives the styles and whatever the window does not change, and shows
    // these traces (their arrowheads are placed there).
    void rebuild(const FrameContent& base, const CurveSet& curves, const std::vector<SolutionTrace>& traces,
                 const PlotWindow& window);

    // The frame: the geometry of the last rebuild with the base's switches
    // and marker, which change between frames without a rebuild.
    const FrameContent& content(const FrameContent& base);

    // The parts of `curve` that show in `window` as polylines, each reaching
    // just beyond the window where the curve leaves it.
    static std::vector<std::vector<Point>> visibleStrips(const Curve& curve, const PlotWindow& window);

    // The direction field's sites laid over the window as the fixed ones
    // lie over the full square, in the same order.
    static std::vector<Point> arrowSitesIn(const PlotWindow& window);

private:
    FrameContent m_content;
};

} // namespace cosmophase::plot

#pragma once

#include "PlotGeometry.h"

#include <algorithm>
#include <vector>

namespace cosmophase::plot {

// The part of the (z2, w0) plane the phase plane shows: a square given by
// its centre and half its side. It starts as, and resets to, the fixed
// square -2 ... 2; zooming never shows more than that square, and zooming
// all the way out returns to it exactly, so an unzoomed frame is always the
// fixed one.
class PlotWindow {
public:
    static constexpr double kFullHalfSide = 2;
    // Deep enough to see the first samples leave the saddle, shallow enough
    // that single-precision vertices in GL still place curves to a pixel.
    static constexpr double kMinHalfSide = 1e-5;

    double left() const { return m_centre.x - m_half; }
    double right() const { return m_centre.x + m_half; }
    double bottom() const { return m_centre.y - m_half; }
    double top() const { return m_centre.y + m_half; }
    Point centre() const { return m_centre; }
    double halfSide() const { return m_half; }
    double side() const { return 2 * m_half; }
    // Plot units of this window per unit of the full square: 1 unzoomed.
    double scale() const { return m_half / kFullHalfSide; }

    // The window with that centre and half side, held to what zooming and
    // panning can reach (a half side of the full square is the full square).
    static PlotWindow centredAt(Point centre, double halfSide);

    bool isFull() const { return m_half == kFullHalfSide && m_centre.x == 0 && m_centre.y == 0; }
    void reset() { *this = PlotWindow(); }

    // A window around the box `left` ... `right`, `bottom` ... `top` with a
    // small margin, for a run that leaves the square. It may show beyond the
    // square: zooming out then stops at the window that covers both the
    // square and the box, and panning keeps the centre within that window.
    static PlotWindow framing(double left, double right, double bottom, double top);
    // The largest window zooming out reaches: the full square unless framed.
    double reachHalfSide() const { return m_reach_half; }

    // Magnifies by `factor` (> 1 in, < 1 out) keeping `fixed` where it is
    // on screen.
    void zoomAbout(Point fixed, double factor);
    // Moves the window by (dx, dy) plot units; the centre stays within the
    // full square. Nothing to move while unzoomed.
    void panBy(double dx, double dy);

    // The plot point under a device position, as glOrtho over this window
    // maps it: (0, 0) is the top-left corner of the viewport.
    Point pointAt(double deviceX, double deviceY, double deviceWidth, double deviceHeight) const;
    // Fractions of the side from the left and from the top.
    double acrossFraction(double x) const { return (x - left()) / (right() - left()); }
    double downFraction(double y) const { return (top() - y) / (top() - bottom()); }

    // Tick positions on either axis (the window is square): unzoomed the
    // fixed -2, -1.5, ..., 2; zoomed, multiples of a 1, 2 or 5 step giving
    // five to ten intervals, first and last within the window.
    std::vector<double> ticks(double low, double high) const;
    // The grid lines: the ticks strictly inside.
    std::vector<double> gridLines(double low, double high) const;
    // The step between ticks (0.5 unzoomed).
    double tickStep() const;

private:
    // The deepest zoom, farther out where coordinates are larger, so that
    // single-precision vertices still fall on their pixels.
    double minHalfSide() const { return kMinHalfSide * std::max(1.0, m_reach_half / kFullHalfSide); }

    Point m_centre{0, 0};
    double m_half = kFullHalfSide;
    Point m_reach_centre{0, 0};
    double m_reach_half = kFullHalfSide;
};

} // namespace cosmophase::plot

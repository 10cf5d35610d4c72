#include "PlotWindow.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cosmophase::plot {

PlotWindow PlotWindow::centredAt(Point centre, double halfSide)
{
    PlotWindow window;
    if (!(halfSide > 0) || !std::isfinite(halfSide))
        return window;
    window.m_half = std::clamp(halfSide, kMinHalfSide, kFullHalfSide);
    if (window.m_half == kFullHalfSide)
        return window;
    window.panBy(centre.x, centre.y);
    return window;
}

namespace {

// The margin a framed box gets on every side, as a fraction of its side.
constexpr double kFrameMargin = 0.05;

} // namespace

PlotWindow PlotWindow::framing(double left, double right, double bottom, double top)
{
    PlotWindow window;
    if (!(std::isfinite(left) && std::isfinite(right) && std::isfinite(bottom) && std::isfinite(top)) || left > right
        || bottom > top)
        return window;
    const auto square = [](double l, double r, double b, double t) {
        return std::pair{Point{l + (r - l) / 2, b + (t - b) / 2}, std::max(r - l, t - b) / 2 * (1 + 2 * kFrameMargin)};
    };
    const auto [reachCentre, reachHalf] = square(std::min(left, -kFullHalfSide), std::max(right, kFullHalfSide),
                                                 std::min(bottom, -kFullHalfSide), std::max(top, kFullHalfSide));
    window.m_reach_centre = reachCentre;
    window.m_reach_half = reachHalf;
    const auto [centre, half] = square(left, right, bottom, top);
    window.m_centre = centre;
    window.m_half = std::clamp(half, window.minHalfSide(), reachHalf);
    return window;
}

void PlotWindow::zoomAbout(Point fixed, double factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    const double half = std::clamp(m_half / factor, minHalfSide(), m_reach_half);
    if (half == m_reach_half) {
        if (m_reach_half == kFullHalfSide) {
            reset();
        } else {
            m_centre = m_reach_centre;
            m_half = m_reach_half;
        }
        return;
    }
    const double ratio = half / m_half;
    m_centre = {fixed.x + (m_centre.x - fixed.x) * ratio, fixed.y + (m_centre.y - fixed.y) * ratio};
    m_half = half;
    panBy(0, 0);
}

void PlotWindow::panBy(double dx, double dy)
{
    if (m_half == m_reach_half || !std::isfinite(dx) || !std::isfinite(dy))
        return;
    m_centre.x = std::clamp(m_centre.x + dx, m_reach_centre.x - m_reach_half, m_reach_centre.x + m_reach_half);
    m_centre.y = std::clamp(m_centre.y + dy, m_reach_centre.y - m_reach_half, m_reach_centre.y + m_reach_half);
}

Point PlotWindow::pointAt(double deviceX, double deviceY, double deviceWidth, double deviceHeight) const
{
    if (isFull())
        return plotPointAt(deviceX, deviceY, deviceWidth, deviceHeight);
    return {left() + side() * deviceX / deviceWidth, top() - side() * deviceY / deviceHeight};
}

double PlotWindow::tickStep() const
{
    // The smallest of 1, 2 or 5 times a power of ten giving at most ten
    // intervals; 0.5 for the full square.
    const double wanted = side() / 10;
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * decade >= wanted * (1 - 1e-9))
            return m * decade;
    }
    return 10 * decade;
}

std::vector<double> PlotWindow::ticks(double low, double high) const
{
    if (isFull())
        return tickValues();
    const double step = tickStep();
    std::vector<double> values;
    // Multiples of the step, each formed afresh so that no error accumulates.
    for (double k = std::ceil(low / step - 1e-9); k * step <= high + step * 1e-9; ++k)
        values.push_back(k * step + 0.0);
    return values;
}

std::vector<double> PlotWindow::gridLines(double low, double high) const
{
    if (isFull())
        return plot::gridLines();
    std::vector<double> lines;
    const double slack = tickStep() * 1e-9;
    for (double v : ticks(low, high)) {
        if (v > low + slack && v < high - slack)
            lines.push_back(v);
    }
    return lines;
}

} // namespace cosmophase::plot

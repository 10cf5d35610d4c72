#include "PlotWindow.h"

#include <algorithm>
#include <cmath>

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

void PlotWindow::zoomAbout(Point fixed, double factor)
{
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    const double half = std::clamp(m_half / factor, kMinHalfSide, kFullHalfSide);
    if (half == kFullHalfSide) {
        reset();
        return;
    }
    const double ratio = half / m_half;
    m_centre = {fixed.x + (m_centre.x - fixed.x) * ratio, fixed.y + (m_centre.y - fixed.y) * ratio};
    m_half = half;
    panBy(0, 0);
}

void PlotWindow::panBy(double dx, double dy)
{
    if (m_half == kFullHalfSide || !std::isfinite(dx) || !std::isfinite(dy))
        return;
    m_centre.x = std::clamp(m_centre.x + dx, -kFullHalfSide, kFullHalfSide);
    m_centre.y = std::clamp(m_centre.y + dy, -kFullHalfSide, kFullHalfSide);
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

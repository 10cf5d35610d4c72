#include "PlotGeometry.h"

#include <cmath>

namespace cosmophase::plot {

std::vector<double> gridLines()
{
    std::vector<double> lines;
    for (double v = -1.5; v < 2; v += 0.5)
        lines.push_back(v);
    return lines;
}

std::vector<double> tickValues()
{
    std::vector<double> ticks{-2};
    for (double v : gridLines())
        ticks.push_back(v);
    ticks.push_back(2);
    return ticks;
}

Point plotPointAt(double deviceX, double deviceY, double deviceWidth, double deviceHeight)
{
    return {-2 + 4 * deviceX / deviceWidth, 2 - 4 * deviceY / deviceHeight};
}

std::vector<std::size_t> thinnedIndices(std::size_t n, std::size_t stride)
{
    std::vector<std::size_t> indices;
    if (n == 0)
        return indices;
    for (std::size_t i = 0; i < n; i += stride)
        indices.push_back(i);
    indices.push_back(n - 1);
    return indices;
}

std::vector<Point> thinnedVertices(const Curve& curve, std::size_t stride)
{
    std::vector<Point> vertices;
    for (std::size_t i : thinnedIndices(curve.size(), stride))
        vertices.push_back({curve.x[i], curve.y[i]});
    return vertices;
}

std::vector<Point> arrowSites()
{
    std::vector<Point> sites;
    sites.reserve(400);
    for (int i = -2; i <= 1; ++i) {
        for (int j = -2; j <= 1; ++j) {
            for (int a = 1; a <= 5; ++a) {
                const float x = static_cast<float>(i) + static_cast<float>(a) / 6.0f;
                for (int b = 1; b <= 5; ++b) {
                    const float y = static_cast<float>(j) + static_cast<float>(b) / 6.0f;
                    sites.push_back({static_cast<double>(x), static_cast<double>(y)});
                }
            }
        }
    }
    return sites;
}

Point fieldAt(const Simulation& sim, Point p)
{
    return {sim.z2ODE(p.x, 0.0, p.y, 0.0), sim.w0ODE(p.x, 0.0, p.y, 0.0)};
}

Arrow arrowAt(const Simulation& sim, Point site)
{
    const Point field = fieldAt(sim, site);
    double dx = field.x;
    double dy = field.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length > 1) {
        dx = dx / length;
        dy = dy / length;
    }
    return {site,
            {(-dx / 2) * kArrowScale, (-dy / 2) * kArrowScale},
            {dx * kArrowScale, dy * kArrowScale}};
}

std::vector<Arrow> directionField(const Simulation& sim)
{
    std::vector<Arrow> arrows;
    for (const Point& site : arrowSites())
        arrows.push_back(arrowAt(sim, site));
    return arrows;
}

} // namespace cosmophase::plot

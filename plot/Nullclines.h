#pragma once

#include "PlotGeometry.h"

#include <array>
#include <cstddef>
#include <vector>

namespace cosmophase::plot {

// Where the z2 right-hand side vanishes: (z2 + [4/3]) * 3 w0 = 0, the
// vertical line z2 = -[4/3] and the horizontal line w0 = 0, each spanning
// the square.
std::array<std::vector<Point>, 2> z2Nullclines();

// z2 on the curve where the w0 right-hand side, w0^2 + w0 [1/3] + z2 [1/6],
// vanishes.
double z2OnW0Nullcline(double w0);

// That curve within the square as a polyline of `segments` segments: a
// parabola opening towards negative z2 whose vertex (z2 = 1/6) lies inside,
// so it runs from the left edge back to the left edge.
std::vector<Point> w0Nullcline(std::size_t segments = 256);

} // namespace cosmophase::plot

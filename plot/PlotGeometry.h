#pragma once

#include "CurveSet.h"
#include "Simulation.h"

#include <array>
#include <cstddef>
#include <vector>

namespace cosmophase {

// Fixed drawing values of the phase plane, in plot coordinates (z2 across,
// w0 up). Several are single-precision roundings widened to double because
// that is what the picture is defined with.
namespace plot {

inline constexpr double kDotRadius = static_cast<double>(0.02f);
inline constexpr double kMarkerRadius = kDotRadius * 1.25;
inline constexpr double kArrowScale = static_cast<double>(1.0f / 7.0f);
inline constexpr int kDiskSlices = 8;
inline constexpr int kDiskLoops = 2;
inline constexpr float kArrowHeadSize = 6.0f;
inline constexpr unsigned short kGridStipple = 0x0BAD;
inline constexpr int kGridStippleFactor = 1;
inline constexpr std::size_t kTrajectoryStride = 10;
inline constexpr std::size_t kCurveStride = 100;

struct Point {
    double x = 0;
    double y = 0;
};

inline constexpr std::array<Point, 3> kEquilibria{{
    {0.0, 0.0},
    {static_cast<double>(-4.0f / 3.0f), static_cast<double>(-2.0f / 3.0f)},
    {static_cast<double>(-4.0f / 3.0f), static_cast<double>(1.0f / 3.0f)},
}};

// Positions of the grid lines, each spanning the whole square on both axes.
std::vector<double> gridLines();

// The axes' tick positions: the grid lines and both edges, -2 ... 2.
std::vector<double> tickValues();

// The plot point under a position given in device pixels of a viewport of
// the given size, as glOrtho(-2, 2, -2, 2) maps it: (0, 0) is the top-left
// corner of the viewport, rows grow downwards.
Point plotPointAt(double deviceX, double deviceY, double deviceWidth, double deviceHeight);

// Indices a thinned line strip passes through: every stride-th index below n,
// then n - 1 (sent again when it is itself a multiple of the stride).
// Nothing for n = 0.
std::vector<std::size_t> thinnedIndices(std::size_t n, std::size_t stride);

// The vertices of a curve thinned as above.
std::vector<Point> thinnedVertices(const Curve& curve, std::size_t stride);

// The 400 sites of the direction field in drawing order, each coordinate
// formed in single precision as i + a/6 and widened to double.
std::vector<Point> arrowSites();

// One arrow of the direction field: drawn at `site`, shifted by `offset` so
// that it is centred there, from the shifted origin to `head`.
struct Arrow {
    Point site;
    Point offset;
    Point head;
};

// The (z2, w0) right-hand sides of `sim` at `p`, with z4 = w2 = 0.
Point fieldAt(const Simulation& sim, Point p);

// The arrow for the (z2, w0) field of `sim` at `site`, with z4 = w2 = 0.
// Vectors longer than 1 are cut to unit length; shorter ones keep theirs.
Arrow arrowAt(const Simulation& sim, Point site);

// Arrows at all sites, in drawing order.
std::vector<Arrow> directionField(const Simulation& sim);

} // namespace plot
} // namespace cosmophase

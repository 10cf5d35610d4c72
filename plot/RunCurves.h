#pragma once

#include "CurveSet.h"
#include "FrameContent.h"
#include "PlotWindow.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cosmophase::plot {

// One whole run drawn beside the frame's own curves: a pinned run or a
// member of a family of runs.
struct RunCurve {
    std::string label; // "q = 0.9999, T = 9000"
    Colour colour;
    bool shown = true;
    double q = 0;
    std::shared_ptr<const Curve> curve; // every sample, shared with its owner
    // The curve as drawn in the window of the last layOut().
    std::vector<std::vector<Point>> strips;
};

// Lines to draw in one call: separate segments, two vertices each, with
// each vertex's colour.
struct Segments {
    std::vector<Point> vertices;
    std::vector<Colour> colours;
};

// The colour bar of a family: which log10(1 - q) its ends stand for.
struct FamilyScale {
    double low = 0;  // log10(1 - q) of the first colour
    double high = 0; // of the last
    std::string title; // "Family, q = GRID, T = 9000"
};

// The runs the phase plane shows beside its own curves, between the run's
// trajectory and the default run's faint curve (first drawn stays in
// front): pinned runs, then a family's members. Empty, the frame is the
// plain one. Qt- and GL-free so that the view, the figures and the tests
// share it.
class RunCurves {
public:
    static constexpr float kPinnedWidth = 2;
    static constexpr float kFamilyWidth = 1;

    std::vector<RunCurve> pinned;
    std::vector<RunCurve> family;
    std::optional<FamilyScale> scale; // set while a family is shown
    // The shown curves' strips of each list as segments, in drawing order,
    // made by layOut(): a family is one draw call, not fifty.
    Segments pinnedSegments;
    Segments familySegments;

    bool empty() const { return pinned.empty() && family.empty(); }
    // Any curve to draw.
    bool anyShown() const;

    // The strips of every curve for `window`: cut to the window and
    // simplified to a fraction of a pixel, as a zoomed trajectory is, also
    // over the full square, where that leaves about a sixth of the
    // vertices that thinning one in ten would (50 runs draw at the frame
    // rate of the plot without them).
    void layOut(const PlotWindow& window);
    // The same, taking the strips of curves that `before` laid out for the
    // same window instead of cutting them again.
    void layOut(const PlotWindow& window, const RunCurves& before);
    static std::vector<std::vector<Point>> stripsFor(const Curve& curve, const PlotWindow& window);

    // The family member whose drawn strips pass nearest `at`, within
    // `tolerance` plot units; -1 for none.
    int familyMemberNear(Point at, double tolerance) const;
};

// The pinned runs' colours, in turn: brown, rose, olive, charcoal, teal,
// tan, maroon, steel. None is the trajectory's blue, the default run's
// grey, the manifolds' cyan and green, the family curve's yellow, the
// traces' magenta, the nullclines' orange and purple or a family's viridis,
// and all read on white.
Colour pinnedRunColour(std::size_t index);
// "q = 0.9999, T = 9000"
std::string runLabel(double q, std::int32_t T);

// The family's colours: viridis from dark violet to green-yellow, leaving
// out its palest yellows, which would not read on the white plot. `t` runs
// from 0 to 1 (clamped).
Colour familyColour(double t);
// Where log10(|1 - q|) lies in the scale, 0 ... 1; 0.5 when the scale has
// one value. |1 - q|: a q above 1 is placed by its distance from 1 too.
double familyPosition(double q, const FamilyScale& scale);
// The scale spanning the grid's values of q.
FamilyScale familyScaleOf(const std::vector<double>& qs);

} // namespace cosmophase::plot

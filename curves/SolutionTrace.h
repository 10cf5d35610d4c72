#pragma once

#include "CurveSet.h"

namespace cosmophase {

// The solution through one point of the (z2, w0) plane, both ways. Each half
// starts with the point itself as point 0.
struct SolutionTrace {
    double z2 = 0;
    double w0 = 0;
    Curve forward;  // direction flag true: the way the run and the arrows go
    Curve backward; // direction flag false
};

// Both halves through (z2, w0), each the curve buildSolnCurve traces from
// the starting state (z2, 0, w0, 0), bit for bit: the (z2, w0) pair is a
// closed system, so it is integrated alone, without z4 and w2. A point
// outside the open plot square gives one-point halves.
SolutionTrace traceThrough(double z2, double w0);

} // namespace cosmophase

#pragma once

namespace cosmophase {

// Present-day deceleration parameter q0 and its companion xi0, from one
// state (z4 does not enter).
struct PresentDay {
    double q0 = 0;
    double xi0 = 0;
};

PresentDay presentDayParameters(double z2, double w0, double w2);

// The read-out's density ratio (3 / 4) * (z2 + [4/3]); the sum is formed in
// extended precision with the single-precision 4/3.
double densityRatio(long double z2);

// The fixed elapsed-time figure shown before the marker first moves.
double startupRunTimeFigure();

} // namespace cosmophase

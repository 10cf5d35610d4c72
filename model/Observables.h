#pragma once

#include "Coefficients.h"

#include <cmath>

namespace cosmophase {

// Present-day deceleration parameter q0 and its companion xi0, from one
// state (z4 does not enter).
template <typename Real>
struct PresentDayOf {
    Real q0 = 0;
    Real xi0 = 0;
};
using PresentDay = PresentDayOf<double>;

PresentDay presentDayParameters(double z2, double w0, double w2);

// The same formula in any precision: in double it is the read-outs' (the
// association of every sum is fixed, so that they and the model's own q0/xi0
// agree to the last bit); the reference solution evaluates it in long double.
template <typename Real>
PresentDayOf<Real> presentDayParametersIn(Real Z, Real W, Real V)
{
    const Real c1 = coeff::k2_3;
    const Real c2 = coeff::k1_12;
    const Real c3 = coeff::k2_9;
    const Real c4 = coeff::k1_18;
    const Real c5 = coeff::k1_3;
    const Real c6 = coeff::f(3.6f);
    const Real c7 = coeff::f(16.2f);
    const Real c8 = coeff::f(1.8f);
    const Real c9 = coeff::f(5.4f);
    const Real c10 = coeff::f(8.1f);
    const Real two = 2;
    const Real three = 3;
    const Real four = 4;

    const Real A = (Real(0.5) * std::pow(W, two) + c1 * W) - c2 * Z;
    const Real B =
        (((Real(0.5) * std::pow(W, three) + (std::pow(W, two) + c3 * W)) + V) - c4 * Z) - (c5 * Z) * W;
    const Real F = Real(0.25) * (1 - (9 * A + 1) / std::pow(Real(1.5) * W + 1, two));
    const Real N = (c10 * B) * W + (c9 * B + (c8 * W + ((1 - c6 * A) - c7 * std::pow(A, two))));
    const Real G = Real(0.625) * (1 - N / std::pow(Real(1.5) * W + 1, four));
    const Real Q = 9 * W / ((3 * W + 2) * 2) + F;
    const Real K = (3 * W + (8 - 8 * F)) - (12 * F) * W;

    PresentDayOf<Real> result;
    result.q0 = Q + Real(0.25);
    result.xi0 = (2 * Q + (3 * (K / (2 * std::pow(3 * W + 2, two)) - 1) + G)) - Real(0.125);
    return result;
}

// The read-out's density ratio (3 / 4) * (z2 + [4/3]); the sum is formed in
// extended precision with the single-precision 4/3.
double densityRatio(long double z2);

// What the read-outs and the samples export derive from one stored sample.
struct SampleObservables {
    double densityRatio = 0;
    double q0 = 0;
    double xi0 = 0;
};
SampleObservables sampleObservables(double z2, double w0, double w2);

// The fixed elapsed-time figure shown before the marker first moves.
double startupRunTimeFigure();

} // namespace cosmophase

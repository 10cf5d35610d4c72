#include "Observables.h"

#include "Coefficients.h"

#include <cmath>

namespace cosmophase {

namespace {

constexpr double c1 = coeff::k2_3;
constexpr double c2 = coeff::k1_12;
constexpr double c3 = coeff::k2_9;
constexpr double c4 = coeff::k1_18;
constexpr double c5 = coeff::k1_3;
constexpr double c6 = coeff::f(3.6f);
constexpr double c7 = coeff::f(16.2f);
constexpr double c8 = coeff::f(1.8f);
constexpr double c9 = coeff::f(5.4f);
constexpr double c10 = coeff::f(8.1f);

} // namespace

// The association of every sum is fixed: the read-outs and the model's own
// q0/xi0 must agree to the last bit.
PresentDay presentDayParameters(double Z, double W, double V)
{
    const double A = (0.5 * std::pow(W, 2.0) + c1 * W) - c2 * Z;
    const double B =
        (((0.5 * std::pow(W, 3.0) + (std::pow(W, 2.0) + c3 * W)) + V) - c4 * Z) - (c5 * Z) * W;
    const double F = 0.25 * (1 - (9 * A + 1) / std::pow(1.5 * W + 1, 2.0));
    const double N = (c10 * B) * W + (c9 * B + (c8 * W + ((1 - c6 * A) - c7 * std::pow(A, 2.0))));
    const double G = 0.625 * (1 - N / std::pow(1.5 * W + 1, 4.0));
    const double Q = 9 * W / ((3 * W + 2) * 2) + F;
    const double K = (3 * W + (8 - 8 * F)) - (12 * F) * W;

    PresentDay result;
    result.q0 = Q + 0.25;
    result.xi0 = (2 * Q + (3 * (K / (2 * std::pow(3 * W + 2, 2.0)) - 1) + G)) - 0.125;
    return result;
}

double densityRatio(long double z2)
{
    const double s = static_cast<double>(z2 + static_cast<long double>(coeff::k4_3));
    return (3 * s) / 4;
}

double startupRunTimeFigure()
{
    using X = long double;
    const double b = 0.99999957;
    const double S = std::pow(b, 2.0);
    const double R = (1 + S) / ((1.3 - S) * 5);
    const double K = 6.063 * std::pow(10.0, 5.0);
    const X figure = ((X(b) * R) * K) / X(std::pow(9000.0, 2.0));
    return static_cast<double>(figure);
}

} // namespace cosmophase

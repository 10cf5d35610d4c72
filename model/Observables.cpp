#include "Observables.h"

#include "Coefficients.h"

#include <cmath>

namespace cosmophase {

PresentDay presentDayParameters(double Z, double W, double V)
{
    return presentDayParametersIn(Z, W, V);
}

double densityRatio(long double z2)
{
    const double s = static_cast<double>(z2 + static_cast<long double>(coeff::k4_3));
    return (3 * s) / 4;
}

SampleObservables sampleObservables(double z2, double w0, double w2)
{
    // The read-outs widen the stored double to extended precision.
    const PresentDay present = presentDayParameters(z2, w0, w2);
    return {densityRatio(static_cast<long double>(z2)), present.q0, present.xi0};
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

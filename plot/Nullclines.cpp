#include "Nullclines.h"

#include "Coefficients.h"

#include <cmath>

namespace cosmophase::plot {

std::array<std::vector<Point>, 2> z2Nullclines()
{
    return {{{{-coeff::k4_3, -2}, {-coeff::k4_3, 2}}, {{-2, 0}, {2, 0}}}};
}

double z2OnW0Nullcline(double w0)
{
    return -(std::pow(w0, 2) + w0 * coeff::k1_3) / coeff::k1_6;
}

std::vector<Point> w0Nullcline(std::size_t segments)
{
    // The two w0 at which the curve meets z2 = -2:
    // w0^2 + [1/3] w0 - 2 [1/6] = 0.
    const double root = std::sqrt(std::pow(coeff::k1_3, 2) + 8 * coeff::k1_6);
    const double low = (-coeff::k1_3 - root) / 2;
    const double high = (-coeff::k1_3 + root) / 2;
    std::vector<Point> points;
    points.reserve(segments + 1);
    points.push_back({-2, low});
    for (std::size_t k = 1; k < segments; ++k) {
        const double w0 = low + (high - low) * static_cast<double>(k) / static_cast<double>(segments);
        points.push_back({z2OnW0Nullcline(w0), w0});
    }
    points.push_back({-2, high});
    return points;
}

} // namespace cosmophase::plot

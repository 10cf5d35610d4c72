#include "Equilibria.h"

#include "Coefficients.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cosmophase {

namespace {

using Complex = std::complex<double>;
using Vector = std::array<Complex, 2>;

bool negligible(double value, double scale)
{
    return std::fabs(value) <= kEigenvalueTolerance * scale;
}

// Unit length, with the larger component turned real and positive so that
// the direction is reported the same way every time. A real vector stays
// real, without the signed zeros a complex rotation would leave.
Vector normalised(const Vector& v)
{
    const double length = std::sqrt(std::norm(v[0]) + std::norm(v[1]));
    const Complex pivot = std::abs(v[0]) >= std::abs(v[1]) ? v[0] : v[1];
    if (v[0].imag() == 0 && v[1].imag() == 0) {
        const double scale = (pivot.real() < 0 ? -1.0 : 1.0) / length;
        return {Complex(v[0].real() * scale + 0.0, 0.0), Complex(v[1].real() * scale + 0.0, 0.0)};
    }
    const Complex rotation = std::conj(pivot) / (std::abs(pivot) * length);
    return {v[0] * rotation, v[1] * rotation};
}

// (J - lambda I) v = 0 read off either row; the longer candidate is the
// better conditioned one. Null when J - lambda I vanishes.
Vector eigenvectorFor(const PlanarJacobian& j, Complex lambda)
{
    const Vector fromRow0{Complex(j[0][1]), lambda - j[0][0]};
    const Vector fromRow1{lambda - j[1][1], Complex(j[1][0])};
    const double norm0 = std::norm(fromRow0[0]) + std::norm(fromRow0[1]);
    const double norm1 = std::norm(fromRow1[0]) + std::norm(fromRow1[1]);
    return norm0 >= norm1 ? fromRow0 : fromRow1;
}

bool isNull(const Vector& v, double scale)
{
    return negligible(std::abs(v[0]), scale) && negligible(std::abs(v[1]), scale);
}

std::string classify(const std::array<Complex, 2>& lambda, bool repeated, double scale)
{
    const double re0 = lambda[0].real();
    const double re1 = lambda[1].real();
    // A pair split only by a tiny imaginary part is a repeated real eigenvalue.
    if (!repeated && lambda[0].imag() != 0) {
        if (negligible(re0, scale))
            return "centre";
        return re0 < 0 ? "stable focus" : "unstable focus";
    }
    if (negligible(re0, scale) || negligible(re1, scale))
        return "non-hyperbolic";
    if (re0 < 0 && re1 > 0)
        return "saddle";
    const char* stability = re1 < 0 ? "stable " : "unstable ";
    return std::string(stability) + (repeated ? "degenerate node" : "node");
}

} // namespace

PlanarJacobian planarJacobian(double z2, double w0, bool forwardTime)
{
    // z2' = (z2 + [4/3]) * 3 * w0,  w0' = w0^2 + [1/3] w0 + [1/6] z2
    const double sign = forwardTime ? -1.0 : 1.0;
    return {{{sign * (3 * w0), sign * (3 * (z2 + coeff::k4_3))},
             {sign * coeff::k1_6, sign * (2 * w0 + coeff::k1_3)}}};
}

Linearisation linearise(const PlanarJacobian& j)
{
    const double a = j[0][0];
    const double b = j[0][1];
    const double c = j[1][0];
    const double d = j[1][1];
    // The discriminant as ((a - d)/2)^2 + bc rather than (tr/2)^2 - det: at a
    // triangular Jacobian with nearly equal diagonal it stays a tiny positive
    // number instead of cancelling to noise of either sign.
    const double halfTrace = (a + d) / 2;
    const double halfGap = (a - d) / 2;
    const double disc = halfGap * halfGap + b * c;
    std::array<Complex, 2> lambda;
    if (disc >= 0) {
        const double root = std::sqrt(disc);
        lambda = {Complex(halfTrace - root, 0.0), Complex(halfTrace + root, 0.0)};
    } else {
        const double root = std::sqrt(-disc);
        lambda = {Complex(halfTrace, -root), Complex(halfTrace, root)};
    }
    std::sort(lambda.begin(), lambda.end(), [](Complex p, Complex q) {
        return p.real() != q.real() ? p.real() < q.real() : p.imag() < q.imag();
    });

    const double scale = std::max({1.0, std::abs(lambda[0]), std::abs(lambda[1])});
    const bool repeated = negligible(std::abs(lambda[0] - lambda[1]), scale);

    Linearisation result;
    result.eigenvalues = lambda;
    if (repeated) {
        const Complex mean = (lambda[0] + lambda[1]) / 2.0;
        const Vector v = eigenvectorFor(j, mean);
        if (isNull(v, scale)) {
            result.eigenvectors = {{{Complex(1), Complex(0)}, {Complex(0), Complex(1)}}};
        } else {
            result.eigenvectors = {normalised(v), normalised(v)};
        }
    } else {
        result.eigenvectors = {normalised(eigenvectorFor(j, lambda[0])),
                               normalised(eigenvectorFor(j, lambda[1]))};
    }
    result.type = classify(lambda, repeated, scale);
    return result;
}

std::vector<Equilibrium> planarEquilibria()
{
    // The z2 right-hand side vanishes at w0 = 0 (then the w0 one needs
    // z2 = 0) or at z2 = -[4/3], where w0^2 + [1/3] w0 - [1/6][4/3] = 0.
    const double z2Off = -coeff::k4_3;
    const double constant = -(coeff::k1_6 * coeff::k4_3);
    const double disc = coeff::k1_3 * coeff::k1_3 - 4 * constant;
    // The root of larger magnitude without cancellation, the other from the
    // product of the roots.
    const double far = -(coeff::k1_3 + std::sqrt(disc)) / 2;
    const double near = constant / far;

    std::vector<Equilibrium> equilibria;
    const std::pair<double, double> positions[] = {{0.0, 0.0}, {z2Off, near}, {z2Off, far}};
    for (const auto& [z2, w0] : positions) {
        const Linearisation lin = linearise(planarJacobian(z2, w0, true));
        equilibria.push_back({z2, w0, lin.eigenvalues, lin.eigenvectors, lin.type});
    }
    return equilibria;
}

} // namespace cosmophase

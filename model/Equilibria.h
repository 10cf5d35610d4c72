#pragma once

#include <array>
#include <complex>
#include <string>
#include <vector>

namespace cosmophase {

// Rows are the derivatives of the z2 and w0 right-hand sides, columns are
// with respect to z2 and w0.
using PlanarJacobian = std::array<std::array<double, 2>, 2>;

// What the linearisation says about one equilibrium.
struct Linearisation {
    // Ascending real part, then ascending imaginary part.
    std::array<std::complex<double>, 2> eigenvalues;
    // eigenvectors[k] belongs to eigenvalues[k]: (dz2, dw0), unit length,
    // its larger component real and positive. A repeated eigenvalue with a
    // single eigendirection gives that direction for both; a multiple of the
    // identity gives the two axes.
    std::array<std::array<std::complex<double>, 2>, 2> eigenvectors;
    // "saddle", "stable node", "unstable node", "stable degenerate node",
    // "unstable degenerate node", "stable focus", "unstable focus", "centre",
    // or "non-hyperbolic" when a real eigenvalue is zero.
    std::string type;
};

struct Equilibrium {
    double z2 = 0;
    double w0 = 0;
    std::array<std::complex<double>, 2> eigenvalues;
    std::array<std::array<std::complex<double>, 2>, 2> eigenvectors;
    std::string type;
};

// Two eigenvalues count as one repeated eigenvalue when they differ by at most
// this much times max(1, |lambda1|, |lambda2|), and a real part counts as zero
// under the same bound. Rounding (in the coefficients, which are single-
// precision, and in the arithmetic) can split an eigenvalue that is repeated
// with exact fractions, or give it a tiny imaginary part.
constexpr double kEigenvalueTolerance = 1e-6;

// The Jacobian of the (z2, w0) field at a point, written out from the two
// right-hand sides with the model's coefficients; negated when forwardTime
// is true, as the right-hand sides are.
PlanarJacobian planarJacobian(double z2, double w0, bool forwardTime);

// Eigenvalues, eigenvectors and type of a 2x2 Jacobian.
Linearisation linearise(const PlanarJacobian& jacobian);

// The three equilibria of the (z2, w0) field as the arrows draw it (direction
// flag true), in the order: the origin, (-[4/3], the larger root of
// w0^2 + [1/3]w0 - [1/6][4/3]), (-[4/3], the smaller root); that is about
// (0, 0), (-4/3, 1/3), (-4/3, -2/3).
std::vector<Equilibrium> planarEquilibria();

} // namespace cosmophase

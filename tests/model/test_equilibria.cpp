#include "Equilibria.h"
#include "Simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

using namespace cosmophase;

namespace {

using Complex = std::complex<double>;

// The coefficients are single-precision roundings, so positions and
// eigenvalues differ from the exact fractions by about 1e-7.
constexpr double kNearExact = 1e-6;

// A unit eigenvector: J v = lambda v up to rounding.
void expectEigenpair(const PlanarJacobian& j, Complex lambda, const std::array<Complex, 2>& v)
{
    EXPECT_NEAR(std::norm(v[0]) + std::norm(v[1]), 1.0, 1e-12);
    const Complex r0 = j[0][0] * v[0] + j[0][1] * v[1] - lambda * v[0];
    const Complex r1 = j[1][0] * v[0] + j[1][1] * v[1] - lambda * v[1];
    EXPECT_LT(std::abs(r0) + std::abs(r1), 1e-6) << lambda;
}

// |sin| of the angle between a real unit vector and the direction (dz2, dw0).
double misalignment(const std::array<Complex, 2>& v, double dz2, double dw0)
{
    return std::fabs(v[0].real() * dw0 - v[1].real() * dz2) / std::hypot(dz2, dw0);
}

} // namespace

// The field the arrows draw: the flag-true Jacobian negates the exact
// eigenvalues 1 and -2/3 at the origin, 1 (twice) at (-4/3, 1/3), -1 and -2
// at (-4/3, -2/3).
TEST(Equilibria, PositionsEigenvaluesEigenvectorsAndTypes)
{
    const struct {
        double z2, w0, lambda[2], vector[2][2];
        const char* type;
    } expected[] = {
        {0, 0, {-1, 2.0 / 3}, {{4, 1}, {6, -1}}, "saddle"},
        {-4.0 / 3, 1.0 / 3, {-1, -1}, {{0, 1}, {0, 1}}, "stable degenerate node"},
        {-4.0 / 3, -2.0 / 3, {1, 2}, {{0, 1}, {6, -1}}, "unstable node"},
    };
    const std::vector<Equilibrium> found = planarEquilibria();
    ASSERT_EQ(found.size(), std::size(expected));
    Simulation sim;
    sim.initialize();
    for (std::size_t k = 0; k < found.size(); ++k) {
        const Equilibrium& e = found[k];
        const auto& want = expected[k];
        SCOPED_TRACE(want.type);
        EXPECT_NEAR(e.z2, want.z2, kNearExact);
        EXPECT_NEAR(e.w0, want.w0, kNearExact);
        EXPECT_EQ(e.type, want.type);
        const PlanarJacobian j = planarJacobian(e.z2, e.w0, true);
        for (int i = 0; i < 2; ++i) {
            EXPECT_NEAR(e.eigenvalues[i].real(), want.lambda[i], kNearExact);
            EXPECT_EQ(e.eigenvalues[i].imag(), 0.0);
            EXPECT_LT(misalignment(e.eigenvectors[i], want.vector[i][0], want.vector[i][1]), kNearExact);
            expectEigenpair(j, e.eigenvalues[i], e.eigenvectors[i]);
        }
        // An equilibrium of the model itself, not only of the formulas here.
        EXPECT_EQ(sim.z2ODE(e.z2, 0, e.w0, 0), 0.0);
        EXPECT_NEAR(sim.w0ODE(e.z2, 0, e.w0, 0), 0.0, 1e-15);
    }
}

namespace {

struct LinearCase {
    const char* name;
    PlanarJacobian jacobian;
    Complex lambda0, lambda1;
    const char* type;
};

const LinearCase kLinearCases[] = {
    {"Saddle", {{{1, 2}, {3, -4}}}, {-5, 0}, {2, 0}, "saddle"},
    {"StableNode", {{{-3, 1}, {0, -1}}}, {-3, 0}, {-1, 0}, "stable node"},
    {"UnstableNode", {{{2, 0}, {5, 7}}}, {2, 0}, {7, 0}, "unstable node"},
    {"JordanBlock", {{{-2, 1}, {0, -2}}}, {-2, 0}, {-2, 0}, "stable degenerate node"},
    {"Star", {{{3, 0}, {0, 3}}}, {3, 0}, {3, 0}, "unstable degenerate node"},
    // Split by less than the tolerance: one repeated eigenvalue.
    {"SplitWithinTolerance", {{{1, 0}, {0.5, 1 + 4e-7}}}, {1, 0}, {1 + 4e-7, 0},
     "unstable degenerate node"},
    {"TinyImaginaryParts", {{{-1, -1e-14}, {1, -1}}}, {-1, -1e-7}, {-1, 1e-7},
     "stable degenerate node"},
    {"SplitBeyondTolerance", {{{1, 0}, {0.5, 1 + 4e-6}}}, {1, 0}, {1 + 4e-6, 0}, "unstable node"},
    {"StableFocus", {{{-1, -2}, {2, -1}}}, {-1, -2}, {-1, 2}, "stable focus"},
    {"UnstableFocus", {{{0.5, 3}, {-3, 0.5}}}, {0.5, -3}, {0.5, 3}, "unstable focus"},
    {"Centre", {{{0, 1}, {-4, 0}}}, {0, -2}, {0, 2}, "centre"},
    {"ZeroEigenvalue", {{{0, 1}, {0, -1}}}, {-1, 0}, {0, 0}, "non-hyperbolic"},
    // The scale is relative: a tiny real part of a fast rotation is a centre.
    {"FastCentre", {{{1e-4, 1000}, {-1000, 1e-4}}}, {1e-4, -1000}, {1e-4, 1000}, "centre"},
};

class Linearise : public ::testing::TestWithParam<LinearCase> {};

} // namespace

TEST_P(Linearise, EigenvaluesInOrderWithUnitEigenvectorsAndType)
{
    const LinearCase& c = GetParam();
    const Linearisation lin = linearise(c.jacobian);
    EXPECT_EQ(lin.type, c.type);
    EXPECT_LT(std::abs(lin.eigenvalues[0] - c.lambda0), 1e-12);
    EXPECT_LT(std::abs(lin.eigenvalues[1] - c.lambda1), 1e-12);
    for (int i = 0; i < 2; ++i)
        expectEigenpair(c.jacobian, lin.eigenvalues[i], lin.eigenvectors[i]);
}

INSTANTIATE_TEST_SUITE_P(Table, Linearise, ::testing::ValuesIn(kLinearCases),
                         [](const auto& info) { return std::string(info.param.name); });

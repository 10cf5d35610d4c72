#pragma once

#include "Simulation.h"

#include <array>

namespace cosmophase {

// (z2, z4, w0, w2) as the reference integrates them.
using ReferenceVector = std::array<long double, 4>;

ReferenceVector toReferenceVector(const State& state);
State toState(const ReferenceVector& x);

// The model's four right-hand sides with its single-precision coefficients
// and the same grouping, evaluated in long double rather than double so
// that the reference is limited by its tolerance, not by rounding. Squares
// are products: the run's pow calls only matter for its own last bits.
// Negated while `forward` is set, as the run's are while m_fwd is.
struct ReferenceField {
    bool forward = true;

    // The signature Boost.Odeint calls; the field is autonomous.
    void operator()(const ReferenceVector& x, ReferenceVector& dxdt, long double t) const;
};

} // namespace cosmophase

#include "ReferenceField.h"

#include "Coefficients.h"

namespace cosmophase {

ReferenceVector toReferenceVector(const State& state)
{
    return {state.z2, state.z4, state.w0, state.w2};
}

State toState(const ReferenceVector& x)
{
    return {x[0], x[1], x[2], x[3]};
}

void ReferenceField::operator()(const ReferenceVector& x, ReferenceVector& dxdt, long double) const
{
    using X = long double;
    const X z2 = x[0];
    const X z4 = x[1];
    const X w0 = x[2];
    const X w2 = x[3];
    const X k4_3 = coeff::k4_3;
    const X k1_3 = coeff::k1_3;
    const X z2sq = z2 * z2;
    const X w0sq = w0 * w0;

    const X z2Rate = (z2 + k4_3) * (w0 * 3);

    const X a = (w2 * k4_3 + z2 * X(coeff::k2_27)) - X(coeff::k1_18) * z2sq;
    const X b = ((k4_3 - z2 * X(coeff::k2_9)) + z4) - X(coeff::k1_12) * z2sq;
    const X z4Rate = ((z2 * w2) + a) * (-5) - b * (w0 * 5);

    const X w0Rate = w0sq + (w0 * k1_3 + z2 * X(coeff::k1_6));

    const X c = ((w0 * X(coeff::k4_9)) + (z4 * X(coeff::k1_10))) - (w2 * k1_3);
    const X d = (X(coeff::k1_24) * z2sq + c) - (z2 * k1_3) * w0;
    const X w2Rate = ((w0 * 4) * w2 + (d - k1_3 * w0sq)) - (X(0.25) * w0sq) * z2;

    const X sign = forward ? -1 : 1;
    dxdt = {sign * z2Rate, sign * z4Rate, sign * w0Rate, sign * w2Rate};
}

} // namespace cosmophase

#pragma once

#include "AxisTicks.h"

#include <vector>

class QLogValueAxis;
class QValueAxis;

// Fitting Qt Charts axes to the values they show.
namespace cosmophase::axisfit {

// The curve that, on one axis with the others, would flatten them (xi0 off
// the default run reaches 10⁴ while q0 and the density ratio stay near 1):
// the one whose values widen the shared range more than tenfold. -1 for none.
int dominantCurve(const std::vector<axisticks::Span>& spans);

// A nice range over `span` widened by `margin` of its width on each side,
// with labels precise enough for its ticks; a single value gets room round it.
void fitLinear(QValueAxis& axis, const axisticks::Span& span, double margin = 0);

// `low` to `high` (both positive), labelled at powers of a base that keeps
// at most about `labels` labels.
void fitLogarithmic(QLogValueAxis& axis, double low, double high, int labels);

} // namespace cosmophase::axisfit

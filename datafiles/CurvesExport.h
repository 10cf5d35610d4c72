#pragma once

#include "CurveSet.h"

#include <string>
#include <vector>

namespace cosmophase {

struct NamedCurve {
    std::string name;
    const Curve& curve;
};

// The family curve and the four manifold branches under their export names
// ("family", "stable_leave", "stable_rest", "unstable_leave",
// "unstable_rest"), in that order.
std::vector<NamedCurve> exportedCurves(const CurveSet& curves);

// Header "curve,index,z2,w0"; each curve's points in order, index from 0.
std::string namedCurvesCsv(const std::vector<NamedCurve>& curves);

// One object with one member per curve, each {"x":[z2...],"y":[w0...]}.
std::string namedCurvesJson(const std::vector<NamedCurve>& curves);

// The two layouts above for exportedCurves(curves).
std::string curvesCsv(const CurveSet& curves);
std::string curvesJson(const CurveSet& curves);

} // namespace cosmophase

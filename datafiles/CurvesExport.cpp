#include "CurvesExport.h"

#include "DataFormat.h"

#include <cstddef>

namespace cosmophase {

namespace {

void appendJsonArray(std::string& out, const std::vector<double>& values)
{
    out += '[';
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k != 0)
            out += ',';
        appendJsonNumber(out, values[k]);
    }
    out += ']';
}

std::size_t totalPoints(const std::vector<NamedCurve>& curves)
{
    std::size_t points = 0;
    for (const NamedCurve& named : curves)
        points += named.curve.size();
    return points;
}

} // namespace

std::vector<NamedCurve> exportedCurves(const CurveSet& curves)
{
    return {{"family", curves.family()},
            {"stable_leave", curves.stableLeave()},
            {"stable_rest", curves.stableRest()},
            {"unstable_leave", curves.unstableLeave()},
            {"unstable_rest", curves.unstableRest()}};
}

std::string namedCurvesCsv(const std::vector<NamedCurve>& curves)
{
    std::string out = "curve,index,z2,w0\n";
    out.reserve(totalPoints(curves) * 64);
    for (const NamedCurve& named : curves) {
        for (std::size_t k = 0; k < named.curve.size(); ++k) {
            out += named.name;
            out += ',';
            appendIndex(out, k);
            out += ',';
            appendDouble(out, named.curve.x[k]);
            out += ',';
            appendDouble(out, named.curve.y[k]);
            out += '\n';
        }
    }
    return out;
}

std::string namedCurvesJson(const std::vector<NamedCurve>& curves)
{
    std::string out = "{";
    out.reserve(totalPoints(curves) * 2 * 24);
    for (const NamedCurve& named : curves) {
        if (out.size() > 1)
            out += ',';
        out += '"';
        out += named.name;
        out += "\":{\"x\":";
        appendJsonArray(out, named.curve.x);
        out += ",\"y\":";
        appendJsonArray(out, named.curve.y);
        out += '}';
    }
    out += "}\n";
    return out;
}

std::string curvesCsv(const CurveSet& curves)
{
    return namedCurvesCsv(exportedCurves(curves));
}

std::string curvesJson(const CurveSet& curves)
{
    return namedCurvesJson(exportedCurves(curves));
}

} // namespace cosmophase

#include "PhasePlaneExport.h"

#include "CurvesExport.h"
#include "DataFormat.h"

#include <cstddef>

namespace cosmophase {

namespace {

std::vector<NamedCurve> namedTraces(const std::vector<SolutionTrace>& traces)
{
    std::vector<NamedCurve> named;
    named.reserve(2 * traces.size());
    for (std::size_t k = 0; k < traces.size(); ++k) {
        const std::string prefix = "trace" + std::to_string(k + 1);
        named.push_back({prefix + "_forward", traces[k].forward});
        named.push_back({prefix + "_backward", traces[k].backward});
    }
    return named;
}

std::vector<NamedCurve> namedHalves(const SolutionTrace& trace)
{
    return {{"forward", trace.forward}, {"backward", trace.backward}};
}

void appendJsonComplex(std::string& out, std::complex<double> value)
{
    out += "{\"re\":";
    appendJsonNumber(out, value.real());
    out += ",\"im\":";
    appendJsonNumber(out, value.imag());
    out += '}';
}

} // namespace

std::string tracesCsv(const std::vector<SolutionTrace>& traces)
{
    return namedCurvesCsv(namedTraces(traces));
}

std::string tracesJson(const std::vector<SolutionTrace>& traces)
{
    return namedCurvesJson(namedTraces(traces));
}

std::string traceCsv(const SolutionTrace& trace)
{
    return namedCurvesCsv(namedHalves(trace));
}

std::string traceJson(const SolutionTrace& trace)
{
    return namedCurvesJson(namedHalves(trace));
}

std::string equilibriaCsv(const std::vector<Equilibrium>& equilibria)
{
    std::string out = "z2,w0,eigenvalue1_re,eigenvalue1_im,eigenvalue2_re,eigenvalue2_im,type\n";
    for (const Equilibrium& e : equilibria) {
        for (double value : {e.z2, e.w0, e.eigenvalues[0].real(), e.eigenvalues[0].imag(),
                             e.eigenvalues[1].real(), e.eigenvalues[1].imag()}) {
            appendDouble(out, value);
            out += ',';
        }
        out += e.type;
        out += '\n';
    }
    return out;
}

std::string equilibriaJson(const std::vector<Equilibrium>& equilibria)
{
    std::string out = "[";
    for (const Equilibrium& e : equilibria) {
        if (out.size() > 1)
            out += ',';
        out += "{\"z2\":";
        appendJsonNumber(out, e.z2);
        out += ",\"w0\":";
        appendJsonNumber(out, e.w0);
        out += ",\"eigenvalues\":[";
        appendJsonComplex(out, e.eigenvalues[0]);
        out += ',';
        appendJsonComplex(out, e.eigenvalues[1]);
        out += "],\"eigenvectors\":[";
        for (std::size_t k = 0; k < e.eigenvectors.size(); ++k) {
            out += k == 0 ? "[" : ",[";
            appendJsonComplex(out, e.eigenvectors[k][0]);
            out += ',';
            appendJsonComplex(out, e.eigenvectors[k][1]);
            out += ']';
        }
        out += "],\"type\":\"";
        out += e.type;
        out += "\"}";
    }
    out += "]\n";
    return out;
}

} // namespace cosmophase

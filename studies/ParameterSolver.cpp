#include "ParameterSolver.h"

#include "OrderedParallel.h"

#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <optional>

namespace cosmophase::studies {

namespace {

// The scan runs over x = log(1 - q) from 1 - q = 1e-12 (q just below 1, the
// origin) to q = 1e-6, in steps of 0.1: about 4 points for each factor of
// ten in 1 - q near q = 1, where every quantity changes most.
constexpr double kScanFirst = -27.631021115928547; // log(1e-12)
constexpr double kScanLast = -1.0000005000290891e-06; // log(1 - 1e-6)
constexpr int kScanPoints = 277;
constexpr double kQTolerance = 1e-12;
constexpr std::uintmax_t kMaxIterations = 200;

double qAt(double x)
{
    return -std::expm1(x);
}

double scanX(int i)
{
    if (i == kScanPoints - 1)
        return kScanLast;
    return kScanFirst + (kScanLast - kScanFirst) * i / (kScanPoints - 1);
}

struct ScanPoint {
    std::optional<PresentDayValues> run;
    std::optional<PresentDayValues> reference;
};

const std::optional<PresentDayValues>& of(const ScanPoint& point, Integrator integrator)
{
    return integrator == Integrator::Run ? point.run : point.reference;
}

// Value minus target, NaN where the integrator has no present day.
double offset(const std::optional<PresentDayValues>& values, const SolveRequest& request)
{
    return values ? quantityOf(request.quantity, *values) - request.target
                  : std::numeric_limits<double>::quiet_NaN();
}

std::optional<Solution> closeBracket(Integrator integrator, const SolveRequest& request, double xa, double xb,
                                     double fa, double fb)
{
    const auto f = [&](double x) {
        return offset(presentDayOf(integrator, {qAt(x), request.temperature}), request);
    };
    const auto closeEnough = [](double a, double b) { return std::abs(qAt(a) - qAt(b)) <= kQTolerance; };
    std::uintmax_t iterations = kMaxIterations;
    std::pair<double, double> bracket{xa, xb};
    try {
        bracket = boost::math::tools::toms748_solve(f, xa, xb, fa, fb, closeEnough, iterations);
    } catch (const std::exception&) {
        // A NaN met inside the bracket: the quantity is not defined there.
        return std::nullopt;
    }
    // The reference crosses: the middle of the closed bracket. The run steps:
    // the bracket's larger q (smaller x) is the first at which its value is
    // past the target, coming from the smaller q.
    const double x = integrator == Integrator::Reference
                         ? bracket.first + (bracket.second - bracket.first) / 2
                         : std::min(bracket.first, bracket.second);
    const std::optional<PresentDayValues> values = presentDayOf(integrator, {qAt(x), request.temperature});
    if (!values)
        return std::nullopt;
    return Solution{integrator, qAt(x), *values};
}

} // namespace

std::string unreachedTargetText(const SolveRequest& request, const SolveResult& result)
{
    const char* name = request.quantity == SolveQuantity::Age  ? "an age of"
                       : request.quantity == SolveQuantity::Q0 ? "q0 ="
                                                               : "xi0 =";
    char line[256];
    std::snprintf(line, sizeof line,
                  "no q in 0 < q < 1 gives %s %.9g at T = %d; the run and the reference reach from %.9g to %.9g",
                  name, request.target, static_cast<int>(request.temperature), result.lowest, result.highest);
    return line;
}

double quantityOf(SolveQuantity quantity, const PresentDayValues& values)
{
    switch (quantity) {
    case SolveQuantity::Age:
        return values.elapsedYears;
    case SolveQuantity::Q0:
        return values.q0;
    case SolveQuantity::Xi0:
        return values.xi0;
    }
    return values.elapsedYears;
}

SolveResult solveForParameter(const SolveRequest& request)
{
    std::vector<ScanPoint> scan;
    scan.reserve(kScanPoints);
    computeInOrder<ScanPoint>(
        0, kScanPoints, request.threads,
        [&](std::uint64_t i) {
            const RunParameters parameters{qAt(scanX(static_cast<int>(i))), request.temperature};
            const StudyPoint point = computeStudyPoint(parameters, true);
            return ScanPoint{point.run, point.reference};
        },
        [&](std::uint64_t, ScanPoint point) {
            scan.push_back(std::move(point));
            return true;
        });

    SolveResult result;
    result.lowest = std::numeric_limits<double>::infinity();
    result.highest = -std::numeric_limits<double>::infinity();
    for (const Integrator integrator : {Integrator::Run, Integrator::Reference}) {
        std::vector<Solution> found;
        for (int i = 0; i < kScanPoints; ++i) {
            const double fi = offset(of(scan[i], integrator), request);
            if (std::isnan(fi))
                continue;
            result.lowest = std::min(result.lowest, fi + request.target);
            result.highest = std::max(result.highest, fi + request.target);
            if (fi == 0) {
                found.push_back({integrator, qAt(scanX(i)), *of(scan[i], integrator)});
                continue;
            }
            if (i + 1 == kScanPoints)
                continue;
            const double fj = offset(of(scan[i + 1], integrator), request);
            if (std::isnan(fj) || fj == 0 || (fi < 0) == (fj < 0))
                continue;
            if (std::optional<Solution> solution =
                    closeBracket(integrator, request, scanX(i), scanX(i + 1), fi, fj))
                found.push_back(*solution);
        }
        std::sort(found.begin(), found.end(), [](const Solution& a, const Solution& b) { return a.q < b.q; });
        result.solutions.insert(result.solutions.end(), found.begin(), found.end());
    }
    return result;
}

} // namespace cosmophase::studies

#include "ParameterSolver.h"

#include "OrderedParallel.h"

#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace cosmophase::studies {

namespace {

// The scan runs over x = log(1 - q) from 1 - q = 1e-12 (q just below 1, the
// origin) to q = 1e-6, in steps of 0.1: about 4 points for each factor of
// ten in 1 - q near q = 1, where every quantity changes most.
constexpr double kScanFirst = -27.631021115928547; // log(1e-12)
constexpr double kScanLast = -1.0000005000290891e-06; // log(1 - 1e-6)
constexpr int kScanPoints = 277;
constexpr double kQTolerance = 1e-12;
constexpr double kOneMinusQTolerance = 1e-9; // relative

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

struct Closed {
    std::optional<Solution> solution;
    std::string error;
};

Closed closeBracket(Integrator integrator, const SolveRequest& request, double xa, double xb, double fa, double fb)
{
    const auto f = [&](double x) {
        return offset(presentDayOf(integrator, {qAt(x), request.temperature}), request);
    };
    const ClosedBracket bracket = closeSignChange(f, xa, xb, fa, fb);
    if (!bracket.error.empty())
        return {std::nullopt, bracket.error};
    // The reference crosses: the middle of the closed bracket. The run steps:
    // the bracket's larger q (smaller x) is the first at which its value is
    // past the target, coming from the smaller q.
    const double x = integrator == Integrator::Reference ? bracket.a + (bracket.b - bracket.a) / 2
                                                         : std::min(bracket.a, bracket.b);
    const std::optional<PresentDayValues> values = presentDayOf(integrator, {qAt(x), request.temperature});
    if (!values)
        return {std::nullopt, "the present day is not reached at the crossing's q = " + accelerationText(qAt(x))};
    return {Solution{integrator, qAt(x), *values}, {}};
}

} // namespace

const char* solveQuantityPhrase(SolveQuantity quantity)
{
    switch (quantity) {
    case SolveQuantity::Age:
        return "an age of";
    case SolveQuantity::Q0:
        return "q0 =";
    case SolveQuantity::Xi0:
        return "xi0 =";
    }
    return "";
}

std::string unreachedTargetText(const SolveRequest& request, const SolveResult& result)
{
    char line[256];
    std::snprintf(line, sizeof line,
                  "no q in 0 < q < 1 gives %s %.9g at T = %d; the run and the reference reach from %.9g to %.9g",
                  solveQuantityPhrase(request.quantity), request.target, static_cast<int>(request.temperature),
                  result.lowest, result.highest);
    return line;
}

ClosedBracket closeSignChange(const std::function<double(double)>& f, double xa, double xb, double fa, double fb,
                              std::uintmax_t maxIterations)
{
    // Boost does not throw on a NaN inside the bracket; it would go on
    // halving towards an undefined crossing.
    bool metNaN = false;
    const auto checked = [&](double x) {
        const double value = f(x);
        metNaN |= std::isnan(value);
        return value;
    };
    // x is log(1 - q): a width in x is a fraction of 1 - q, which keeps its
    // meaning near q = 1, where an absolute width in q would not.
    const auto closeEnough = [](double a, double b) {
        const double qa = qAt(a);
        const double qb = qAt(b);
        const bool narrow = std::abs(qa - qb) <= kQTolerance && std::abs(a - b) <= kOneMinusQTolerance;
        return narrow || qa == qb || std::nextafter(qa, qb) == qb;
    };
    std::uintmax_t iterations = maxIterations;
    std::pair<double, double> bracket{xa, xb};
    try {
        bracket = boost::math::tools::toms748_solve(checked, xa, xb, fa, fb, closeEnough, iterations);
    } catch (const std::exception& e) {
        return {xa, xb, e.what()};
    }
    if (metNaN)
        return {bracket.first, bracket.second, "the quantity is undefined inside the bracket"};
    const bool closed = bracket.first == bracket.second || closeEnough(bracket.first, bracket.second);
    if (iterations >= maxIterations && !closed)
        return {bracket.first, bracket.second,
                "still open after " + std::to_string(maxIterations) + " evaluations"};
    return {bracket.first, bracket.second, {}};
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
            // The value itself: value - target + target loses it when the
            // target dwarfs it.
            const double value = quantityOf(request.quantity, *of(scan[i], integrator));
            result.lowest = std::min(result.lowest, value);
            result.highest = std::max(result.highest, value);
            if (fi == 0) {
                found.push_back({integrator, qAt(scanX(i)), *of(scan[i], integrator)});
                continue;
            }
            if (i + 1 == kScanPoints)
                continue;
            const double fj = offset(of(scan[i + 1], integrator), request);
            if (std::isnan(fj) || fj == 0 || (fi < 0) == (fj < 0))
                continue;
            Closed closed = closeBracket(integrator, request, scanX(i), scanX(i + 1), fi, fj);
            if (!closed.error.empty()) {
                result.error = std::string(integrator == Integrator::Run ? "the run's" : "the reference's") +
                               " crossing between q = " + accelerationText(qAt(scanX(i))) + " and q = " +
                               accelerationText(qAt(scanX(i + 1))) + " did not close: " + closed.error;
                result.solutions.clear();
                return result;
            }
            found.push_back(*closed.solution);
        }
        std::sort(found.begin(), found.end(), [](const Solution& a, const Solution& b) { return a.q < b.q; });
        result.solutions.insert(result.solutions.end(), found.begin(), found.end());
    }
    return result;
}

} // namespace cosmophase::studies

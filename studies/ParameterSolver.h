#pragma once

#include "StudyPoint.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cosmophase::studies {

// The present-day quantity a solve aims at.
enum class SolveQuantity { Age, Q0, Xi0 };

struct SolveRequest {
    SolveQuantity quantity = SolveQuantity::Age;
    double target = 0;
    std::int32_t temperature = RunParameters::kDefaultTemperature;
    unsigned threads = 1;
};

struct Solution {
    Integrator integrator = Integrator::Run;
    double q = 0;
    PresentDayValues values; // of that integrator at q
};

struct SolveResult {
    // The run's solutions by increasing q, then the reference's.
    std::vector<Solution> solutions;
    // The smallest and largest value met while scanning, over both
    // integrators: what the target can be.
    double lowest = 0;
    double highest = 0;
    // One line when a crossing was found but could not be closed; there are
    // then no solutions.
    std::string error;
};

// Every q in 0 < q < 1 at which the quantity reaches the target. A scan in
// log(1 - q) brackets each crossing; TOMS 748 then closes each bracket until
// 1 - q is known to 1e-9 of itself and q to 1e-12, or its ends are
// neighbouring doubles. The reference is smooth and crosses; the run's value
// is a step function of q (its last sample moves one step at a time), so for
// the run the solution is the smallest q at which its value has stepped over.
SolveResult solveForParameter(const SolveRequest& request);

// The words naming the quantity in messages: "an age of", "q0 =", "xi0 =".
const char* solveQuantityPhrase(SolveQuantity quantity);

// One line for a request that no q reaches, giving what is reachable.
std::string unreachedTargetText(const SolveRequest& request, const SolveResult& result);

// [a, b] in x = log(1 - q), closed around a sign change of f, or why not.
struct ClosedBracket {
    double a = 0;
    double b = 0;
    std::string error; // one line when the bracket did not close
};

// Closes the bracket [xa, xb] over which f changes sign (fa = f(xa), fb =
// f(xb)). A NaN met inside it, or a bracket still open after
// `maxIterations` evaluations, is an error and never a crossing.
ClosedBracket closeSignChange(const std::function<double(double)>& f, double xa, double xb, double fa, double fb,
                              std::uintmax_t maxIterations = 200);

// The quantity aimed at, among the present-day values.
double quantityOf(SolveQuantity quantity, const PresentDayValues& values);

} // namespace cosmophase::studies

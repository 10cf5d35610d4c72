#pragma once

#include <string>

namespace cosmophase {

// How a bounded forward run ended.
enum class RunStatus {
    Ok,        // reached the Hubble-equality epoch
    Budget,    // used up its step budget first
    Stalled,   // a step no longer advanced the model time (the step length underflowed)
    NonFinite, // the equality value or the state became NaN or infinite
    Domain     // not run: the parameters lie outside their domain
};

// One lowercase word per kind, for CSV columns and scripts:
// ok, budget, stalled, nonfinite, domain.
const char* statusWord(RunStatus status);

// One line for people, saying why the run has no present day.
std::string statusReason(RunStatus status);

} // namespace cosmophase

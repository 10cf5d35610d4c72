#pragma once

#include "Accuracy.h"
#include "RunParameters.h"

#include <string>
#include <vector>

namespace cosmophase {

// Header "q,T,quantity,run,reference,error,correct_digits", one row per
// quantity in the order given, each with the run's parameters; the
// reference and the error are rounded to double.
std::string accuracyCsv(const std::vector<AccuracyRow>& rows, const RunParameters& parameters);

// One object: the run's parameters "q" (the shortest text that reads back
// as q) and "T", the equality value at which the run and the reference stop
// ("hubble_equality_target", so that other integrators need not copy it),
// then "quantities", an array with one object per row and the same five
// fields; non-finite numbers are null.
std::string accuracyJson(const std::vector<AccuracyRow>& rows, const RunParameters& parameters);

} // namespace cosmophase

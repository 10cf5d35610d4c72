#pragma once

#include "ParameterSolver.h"
#include "StudyPoint.h"

#include <string>

namespace cosmophase::studies {

// The rows of sweep and solve share one shape: the run's parameters
// "q,one_minus_q,T", then the present day "elapsed_years,q0,xi0,
// density_ratio". q and 1 - q are the shortest text that reads back as the
// same double (1 - q of that double q, exact from q = 0.5 up); the present
// day has 17 significant digits; values not reached are empty in CSV and
// null in JSON.

// The sweep's CSV: "q,one_minus_q,T,status,samples" and the present day,
// with the reference's four columns after them when asked for.
std::string sweepCsvHeader(bool withReference);
void appendSweepCsvRow(std::string& out, const StudyPoint& point, bool withReference);

// The same rows as one JSON array of objects, written row by row: the
// opening, each row (with a separating comma from the second on), the close.
std::string sweepJsonOpening();
void appendSweepJsonRow(std::string& out, const StudyPoint& point, bool withReference, bool first);
std::string sweepJsonClosing();

// solve's rows: "integrator", then the parameters and the present day.
std::string solveCsvHeader();
void appendSolveCsvRow(std::string& out, const Solution& solution, std::int32_t temperature);
// One JSON object per solution; the caller separates and brackets them as
// for the sweep.
void appendSolveJsonRow(std::string& out, const Solution& solution, std::int32_t temperature, bool first);

} // namespace cosmophase::studies

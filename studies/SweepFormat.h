#pragma once

#include "StudyPoint.h"

#include <string>

namespace cosmophase::studies {

// The sweep's CSV: "q,T,status,samples,elapsed_years,q0,xi0,density_ratio",
// with the reference's four columns after them when asked for. Numbers have
// 17 significant digits; values a run did not reach are empty.
std::string sweepCsvHeader(bool withReference);
void appendSweepCsvRow(std::string& out, const StudyPoint& point, bool withReference);

// The same rows as one JSON array of objects, written row by row: the
// opening, each row (with a separating comma from the second on), the close.
std::string sweepJsonOpening();
void appendSweepJsonRow(std::string& out, const StudyPoint& point, bool withReference, bool first);
std::string sweepJsonClosing();

} // namespace cosmophase::studies

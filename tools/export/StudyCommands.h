#pragma once

#include "CliOptions.h"

#include <string>

namespace cosmophase {

// Streams the sweep's rows (q outer, T inner) to standard output or, with
// an output path, atomically to that file; an interrupt (SIGINT, SIGTERM)
// stops it and leaves an existing file as it was. Returns the exit status.
int runSweep(const SweepOptions& sweep, ExportFormat format, const std::string& outputPath);

// Every q solving the request, for the run and for the reference. Returns
// the exit status: 3, with one line on standard error giving the reachable
// range, when no q reaches the target.
int runSolve(const studies::SolveRequest& request, ExportFormat format, const std::string& outputPath);

} // namespace cosmophase

#pragma once

#include "ParameterGrid.h"
#include "ParameterSolver.h"
#include "RunParameters.h"
#include "Shard.h"

#include <string>
#include <utility>
#include <vector>

namespace cosmophase {

struct SweepOptions {
    studies::ParameterGrid q = studies::ParameterGrid::single(RunParameters::kDefaultAcceleration);
    studies::ParameterGrid T = studies::ParameterGrid::single(RunParameters::kDefaultTemperature);
    unsigned threads = 1; // set to the machine's cores unless --threads says otherwise
    studies::Shard shard;
    bool reference = false;
};

// Options given as --name value, in the order given.
using OptionValues = std::vector<std::pair<std::string, std::string>>;

// The options only sweep and solve take: --threads, --shard, --age, --q0
// and --xi0.
bool isStudyOption(const std::string& name);

// sweep: --q and --T as grids, --threads, --shard. Returns the error, empty
// when every option is stored.
std::string readSweepOptions(const OptionValues& values, SweepOptions& sweep);

// solve: exactly one of --age, --q0 and --xi0, a single --T, --threads.
std::string readSolveOptions(const OptionValues& values, studies::SolveRequest& solve);

// The lines of --help on sweep and solve.
std::string studyOptionsHelp();

} // namespace cosmophase

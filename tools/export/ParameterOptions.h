#pragma once

#include "RunParameters.h"

#include <string>

namespace cosmophase {

// The options that choose the run, --q and --T, for every subcommand whose
// output follows the run: each reads the same way and is checked against
// the same domain before any work.
bool isParameterOption(const std::string& name);

// Stores one option's value; returns why it is refused (without the
// option's name), empty when it is stored.
std::string readParameterOption(const std::string& name, const std::string& value,
                                RunParameters& parameters);

// The lines of --help that describe the two options and their domain.
std::string parameterOptionsHelp();

} // namespace cosmophase

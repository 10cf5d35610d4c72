#pragma once

#include "RunParameters.h"
#include "StudyOptions.h"

#include <string>
#include <vector>

namespace cosmophase {

enum class ExportCommand { Samples, Curves, Summary, Trace, Equilibria, Accuracy, Sweep, Solve, Verify, Help, Version };
enum class ExportFormat { Csv, Json };

struct CliOptions {
    ExportCommand command = ExportCommand::Help;
    ExportFormat format = ExportFormat::Csv;
    std::string outputPath; // empty: standard output
    double z2 = 0; // trace: the point the solution passes through
    double w0 = 0;
    bool reference = false; // samples, sweep: add the reference solution's columns
    RunParameters parameters; // samples, summary, accuracy: the run's q and T
    SweepOptions sweep;
    studies::SolveRequest solve;
    std::string verifyPath; // verify: the figure, movie or session file
    std::string digest;     // verify: a digest expected besides any the file records
};

struct CliParseResult {
    CliOptions options;
    std::string error; // one line; empty when the arguments are valid
    std::string warning; // one line worth showing though the arguments are valid
    bool ok() const { return error.empty(); }
};

// Parses the arguments after the program name. Options may come before or
// after the subcommand, as "--option value" or "--option=value"; --help and
// --version need no subcommand. trace needs --z2 and --w0, each a finite
// decimal number and nothing else (an optional leading '+', no spaces).
// --reference is a flag of samples and sweep and takes no value.
// --q and --T apply to the subcommands whose output follows the run and are
// refused by the others; with them the parameters lie in their domain. For
// sweep they are grids; solve takes --T alone.
CliParseResult parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

} // namespace cosmophase

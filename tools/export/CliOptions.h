#pragma once

#include <string>
#include <vector>

namespace cosmophase {

enum class ExportCommand { Samples, Curves, Summary, Help, Version };
enum class ExportFormat { Csv, Json };

struct CliOptions {
    ExportCommand command = ExportCommand::Help;
    ExportFormat format = ExportFormat::Csv;
    std::string outputPath; // empty: standard output
};

struct CliParseResult {
    CliOptions options;
    std::string error; // one line; empty when the arguments are valid
    bool ok() const { return error.empty(); }
};

// Parses the arguments after the program name. Options may come before or
// after the subcommand, as "--option value" or "--option=value"; --help and
// --version need no subcommand.
CliParseResult parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

} // namespace cosmophase

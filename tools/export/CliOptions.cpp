#include "CliOptions.h"

#include <cstddef>
#include <optional>

namespace cosmophase {

namespace {

std::optional<ExportCommand> subcommandNamed(const std::string& name)
{
    if (name == "samples")
        return ExportCommand::Samples;
    if (name == "curves")
        return ExportCommand::Curves;
    if (name == "summary")
        return ExportCommand::Summary;
    return std::nullopt;
}

CliParseResult failed(std::string error)
{
    CliParseResult result;
    result.error = std::move(error);
    return result;
}

} // namespace

CliParseResult parseCommandLine(const std::vector<std::string>& args)
{
    CliParseResult result;
    std::optional<ExportCommand> subcommand;
    bool help = false;
    bool version = false;
    bool formatSeen = false;
    bool outputSeen = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            continue;
        }
        if (arg == "--version") {
            version = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            if (name != "--format" && name != "--output")
                return failed("unknown option '" + name + "'");
            std::string value;
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return failed("option " + name + " needs a value");
            }
            if (value.empty())
                return failed("option " + name + " needs a non-empty value");
            bool& seen = name == "--format" ? formatSeen : outputSeen;
            if (seen)
                return failed("option " + name + " given more than once");
            seen = true;
            if (name == "--output") {
                result.options.outputPath = value;
            } else if (value == "csv") {
                result.options.format = ExportFormat::Csv;
            } else if (value == "json") {
                result.options.format = ExportFormat::Json;
            } else {
                return failed("unknown format '" + value + "' (use csv or json)");
            }
            continue;
        }
        if (subcommand)
            return failed("unexpected argument '" + arg + "'");
        subcommand = subcommandNamed(arg);
        if (!subcommand)
            return failed("unknown subcommand '" + arg + "'");
    }

    if (help)
        result.options.command = ExportCommand::Help;
    else if (version)
        result.options.command = ExportCommand::Version;
    else if (subcommand)
        result.options.command = *subcommand;
    else
        return failed("no subcommand given (samples, curves or summary)");
    return result;
}

std::string usageText()
{
    return "Usage: cosmophase-export SUBCOMMAND [--format csv|json] [--output PATH]\n"
           "\n"
           "Writes the numbers behind Cosmophase's phase plane.\n"
           "\n"
           "Subcommands:\n"
           "  samples   the forward run, one row per sample:\n"
           "            index,time_years,z2,w0,w2,density_ratio,q0,xi0\n"
           "  curves    the family curve and the four manifold branches:\n"
           "            curve,index,z2,w0\n"
           "  summary   counts, step-length changes, end state, q0, xi0 and a\n"
           "            digest of the samples\n"
           "\n"
           "Options:\n"
           "  --format csv|json  output format (default csv; summary: text)\n"
           "  --output PATH      write PATH atomically instead of standard output\n"
           "  --help             show this help\n"
           "  --version          show the version\n"
           "\n"
           "Numbers are written with 17 significant digits, so they read back exactly.\n"
           "Exit status: 0 success, 1 I/O failure, 2 bad arguments.\n";
}

} // namespace cosmophase

#include "CliOptions.h"

#include "DecimalText.h"
#include "OneLine.h"
#include "ParameterOptions.h"
#include "SessionFile.h"
#include "VerifyCommand.h"

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
    if (name == "trace")
        return ExportCommand::Trace;
    if (name == "equilibria")
        return ExportCommand::Equilibria;
    if (name == "accuracy")
        return ExportCommand::Accuracy;
    if (name == "sweep")
        return ExportCommand::Sweep;
    if (name == "solve")
        return ExportCommand::Solve;
    if (name == "verify")
        return ExportCommand::Verify;
    return std::nullopt;
}

// The user's text inside quotes, on one line whatever it holds.
std::string quoted(const std::string& text)
{
    return "'" + escapeControlCharacters(text) + "'";
}

CliParseResult failed(std::string error)
{
    CliParseResult result;
    result.error = std::move(error);
    return result;
}

// Returns the error, empty when the number is stored in `value`.
std::string readFiniteNumber(const std::string& name, const std::string& text, double& value)
{
    switch (readFiniteDecimal(text, value)) {
    case DecimalError::OutOfRange:
        return "option " + name + ": " + quoted(text) + " is beyond the range of a double";
    case DecimalError::NotANumber:
        return "option " + name + " needs a finite decimal number, not " + quoted(text);
    case DecimalError::None:
        break;
    }
    return {};
}

// The subcommands whose output depends on q and T.
bool followsParameters(ExportCommand command)
{
    return command == ExportCommand::Samples || command == ExportCommand::Summary ||
           command == ExportCommand::Accuracy;
}

struct Seen {
    bool format = false;
    bool output = false;
    bool z2 = false;
    bool w0 = false;
    bool q = false;
    bool oneMinusQ = false;
    bool T = false;
    bool threads = false;
    bool shard = false;
    bool age = false;
    bool q0 = false;
    bool xi0 = false;
    bool session = false;
    bool digest = false;
    bool verifyPath = false;
};

bool* seenFlag(Seen& seen, const std::string& name)
{
    if (name == "--format")
        return &seen.format;
    if (name == "--output")
        return &seen.output;
    if (name == "--z2")
        return &seen.z2;
    if (name == "--w0")
        return &seen.w0;
    if (name == "--q")
        return &seen.q;
    if (name == "--one-minus-q")
        return &seen.oneMinusQ;
    if (name == "--T")
        return &seen.T;
    if (name == "--threads")
        return &seen.threads;
    if (name == "--shard")
        return &seen.shard;
    if (name == "--age")
        return &seen.age;
    if (name == "--q0")
        return &seen.q0;
    if (name == "--xi0")
        return &seen.xi0;
    if (name == "--session")
        return &seen.session;
    if (name == "--digest")
        return &seen.digest;
    return nullptr;
}

// Stores one option's value; returns the error, empty when it is valid.
std::string applyOption(CliOptions& options, const std::string& name, const std::string& value)
{
    if (isParameterOption(name)) {
        const std::string error = readParameterOption(name, value, options.parameters);
        return error.empty() ? error : "option " + name + " " + quoted(value) + ": " + error;
    }
    if (name == "--output") {
        options.outputPath = value;
    } else if (name == "--digest") {
        if (!isDigestText(value))
            return "option --digest needs 16 hexadecimal digits, not " + quoted(value);
        options.digest = value;
    } else if (name == "--format") {
        if (value == "csv")
            options.format = ExportFormat::Csv;
        else if (value == "json")
            options.format = ExportFormat::Json;
        else
            return "unknown format " + quoted(value) + " (use csv or json)";
    } else {
        return readFiniteNumber(name, value, name == "--z2" ? options.z2 : options.w0);
    }
    return {};
}

} // namespace

CliParseResult parseCommandLine(const std::vector<std::string>& args)
{
    CliParseResult result;
    std::optional<ExportCommand> subcommand;
    bool help = false;
    bool version = false;
    Seen seen;
    // q and T are single values or grids depending on the subcommand, which
    // may come after them.
    OptionValues deferred;
    std::string sessionPath;

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
        if (arg.rfind("--reference", 0) == 0 && (arg.size() == 11 || arg[11] == '=')) {
            if (arg.size() > 11)
                return failed("option --reference takes no value");
            if (result.options.reference)
                return failed("option --reference given more than once");
            result.options.reference = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            bool* const optionSeen = seenFlag(seen, name);
            if (!optionSeen)
                return failed("unknown option " + quoted(name));
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
            if (*optionSeen)
                return failed("option " + name + " given more than once");
            *optionSeen = true;
            if (name == "--session") {
                sessionPath = value;
                continue;
            }
            if (isParameterOption(name) || isStudyOption(name)) {
                deferred.emplace_back(name, value);
                continue;
            }
            const std::string error = applyOption(result.options, name, value);
            if (!error.empty())
                return failed(error);
            continue;
        }
        if (subcommand == ExportCommand::Verify && !seen.verifyPath) {
            seen.verifyPath = true;
            result.options.verifyPath = arg;
            continue;
        }
        if (subcommand)
            return failed("unexpected argument " + quoted(arg));
        subcommand = subcommandNamed(arg);
        if (!subcommand)
            return failed("unknown subcommand " + quoted(arg));
    }

    if (help) {
        result.options.command = ExportCommand::Help;
    } else if (version) {
        result.options.command = ExportCommand::Version;
    } else if (!subcommand) {
        return failed("no subcommand given (samples, curves, summary, trace, equilibria, accuracy, sweep, "
                      "solve or verify)");
    } else {
        const bool trace = *subcommand == ExportCommand::Trace;
        if (trace && !seen.z2)
            return failed("trace needs --z2");
        if (trace && !seen.w0)
            return failed("trace needs --w0");
        if (!trace && (seen.z2 || seen.w0))
            return failed(std::string("option ") + (seen.z2 ? "--z2" : "--w0") +
                          " applies only to trace");
        if (result.options.reference && *subcommand != ExportCommand::Samples &&
            *subcommand != ExportCommand::Sweep)
            return failed("option --reference applies only to samples and sweep");
        result.options.command = *subcommand;
        if (seen.session && !followsParameters(*subcommand))
            return failed("option --session applies only to samples, summary and accuracy");
        const bool verify = *subcommand == ExportCommand::Verify;
        if (verify && !seen.verifyPath)
            return failed("verify needs the FILE to check");
        if (verify && seen.output)
            return failed("option --output does not apply to verify, which prints one line");
        if (!verify && seen.digest)
            return failed("option --digest applies only to verify");
        if (*subcommand == ExportCommand::Sweep) {
            result.options.sweep.reference = result.options.reference;
            const std::string error = readSweepOptions(deferred, result.options.sweep);
            return error.empty() ? result : failed(error);
        }
        if (*subcommand == ExportCommand::Solve) {
            const std::string error = readSolveOptions(deferred, result.options.solve);
            return error.empty() ? result : failed(error);
        }
        for (const auto& [name, value] : deferred) {
            if (isStudyOption(name))
                return failed("option " + name + " applies only to sweep and solve");
            if (!followsParameters(*subcommand))
                return failed("option " + name + " applies only to samples, summary, accuracy, sweep and solve");
            const std::string error = applyOption(result.options, name, value);
            if (!error.empty())
                return failed(error);
        }
        if (seen.session) {
            if (seen.q || seen.T)
                return failed(std::string("option --session conflicts with ") + (seen.q ? "--q" : "--T") +
                              ": the session gives both q and T");
            const SessionReadResult session = readSessionFile(sessionPath);
            if (!session.ok())
                return failed("option --session: " + session.error);
            result.options.parameters = session.session->parameters();
            result.warning = unknownKeysWarning(session.unknownKeys);
        }
        const std::string outside = ParameterDomain::check(result.options.parameters);
        if (!outside.empty())
            return failed("options --q and --T: " + outside);
    }
    return result;
}

std::string usageText()
{
    return "Usage: cosmophase-export SUBCOMMAND [--format csv|json] [--output PATH]\n"
           "       cosmophase-export samples|summary|accuracy [--q Q] [--T N] [--format csv|json] [--output PATH]\n"
           "       cosmophase-export samples|summary|accuracy --session FILE [--format csv|json] [--output PATH]\n"
           "       cosmophase-export samples --reference [--format csv|json] [--output PATH]\n"
           "       cosmophase-export trace --z2 X --w0 Y [--format csv|json] [--output PATH]\n"
           "       cosmophase-export sweep [--q GRID | --one-minus-q GRID] [--T GRID] [--threads N]\n"
           "                         [--shard K/N]\n"
           "                         [--reference] [--format csv|json] [--output PATH]\n"
           "       cosmophase-export solve (--age YEARS | --q0 V | --xi0 V) [--T N]\n"
           "                         [--threads N] [--format csv|json] [--output PATH]\n"
           "       cosmophase-export verify FILE [--digest HEX] [--format csv|json]\n"
           "\n"
           "Writes the numbers behind Cosmophase's phase plane.\n"
           "\n"
           "Subcommands:\n"
           "  samples     the forward run, one row per sample:\n"
           "              index,time_years,z2,w0,w2,density_ratio,q0,xi0\n"
           "  curves      the family curve and the four manifold branches:\n"
           "              curve,index,z2,w0\n"
           "  summary     counts, step-length changes, end state, q0, xi0 and a\n"
           "              digest of the samples\n"
           "  trace       the solution through (X, Y) both ways, curves forward\n"
           "              (the way the arrows point) and backward: curve,index,z2,w0\n"
           "  equilibria  the three equilibria of the field the arrows draw:\n"
           "              z2,w0,eigenvalue1_re,eigenvalue1_im,eigenvalue2_re,\n"
           "              eigenvalue2_im,type (JSON adds the eigenvectors)\n"
           "  accuracy    the run's last sample against an accurate reference\n"
           "              solution at the exact stopping event:\n"
           "              q,T,quantity,run,reference,error,correct_digits\n"
           "  sweep       the present day of a run at every (q, T) of a grid, q outer,\n"
           "              T inner, computed on every core, in the same order and bytes\n"
           "              for any thread count; a run that fails is a row with its\n"
           "              status: q,one_minus_q,T,status,samples,elapsed_years,q0,\n"
           "              xi0,density_ratio (--reference adds reference_elapsed_years,\n"
           "              reference_q0,reference_xi0,reference_density_ratio)\n"
           "  solve       every q, 0 < q < 1, at which the present-day age, q0 or xi0\n"
           "              reaches a value, for the run and for the reference, to 1e-9\n"
           "              of 1 - q and 1e-12 of q:\n"
           "              integrator,q,one_minus_q,T,elapsed_years,q0,xi0,density_ratio\n"
           "  verify      recompute the run of the session a figure, movie or session\n"
           "              file carries and compare its samples digest with the one\n"
           "              recorded beside it (and --digest): one line, verified (0),\n"
           "              computed (0: no digest to compare), mismatch (1) or why the\n"
           "              file carries no session (2); --format json: one object\n"
           "\n"
           "Options:\n"
           "  --format csv|json  output format (default csv; summary: text)\n"
           "  --output PATH      write PATH atomically instead of standard output\n"
           "  --z2 X, --w0 Y     trace: the point, finite decimal numbers; outside\n"
           "                     the open square -2..2 each half is the point alone\n"
           "  --reference        samples: add the reference solution at each sample,\n"
           "                     reference_z2,reference_w0,reference_w2,\n"
           "                     reference_density_ratio,reference_q0,reference_xi0;\n"
           "                     sweep: add the reference's present day\n"
           + parameterOptionsHelp() +
           "  --session FILE     samples, summary, accuracy: q and T from a saved\n"
           "                     Cosmophase session instead of --q and --T\n"
           "  --digest HEX       verify: the samples digest the run must have, as\n"
           "                     published beside a figure or session\n"
           + studyOptionsHelp() +
           "  --help             show this help\n"
           "  --version          show the version\n"
           "\n"
           "q and T choose the run of samples, summary and accuracy (their JSON and\n"
           "the summary name them); curves, trace and equilibria do not depend on them and refuse --q\n"
           "and --T. Above q = 1.311 some runs cannot reach the present day.\n"
           "\n"
           "Numbers are written with 17 significant digits, so they read back exactly;\n"
           "q and 1 - q with the fewest digits that do.\n"
           "Exit status: 0 success, 1 I/O failure, 2 bad arguments, 3 a run that\n"
           "cannot reach the present day (q close to sqrt(7)/2) or a solve target\n"
           "that no q reaches; the output is then not written. 130: a sweep was\n"
           "interrupted (its --output file is left as it was). verify exits 0, 1 or 2\n"
           "as above.\n";
}

} // namespace cosmophase

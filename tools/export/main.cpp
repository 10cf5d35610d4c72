#include "CliOptions.h"
#include "CurveSet.h"
#include "Accuracy.h"
#include "AccuracyExport.h"
#include "AtomicWrite.h"
#include "CurvesExport.h"
#include "DataFormat.h"
#include "OneLine.h"
#include "Equilibria.h"
#include "PhasePlaneExport.h"
#include "ReferenceSamples.h"
#include "ReferenceSolution.h"
#include "RunSummary.h"
#include "Simulation.h"
#include "SolutionTrace.h"
#include "StudyCommands.h"
#include "VerifyCommand.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <cmath>
#include <string>
#include <vector>

using namespace cosmophase;

namespace {

constexpr int kExitIoFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRunFailed = 3;

// The output, or, when the run behind it cannot reach the present day, why.
struct Rendered {
    std::string text;
    RunStatus status = RunStatus::Ok;
    std::string warning; // one line for standard error beside a written output
    Rendered(std::string t) : text(std::move(t)) {}
    Rendered(RunStatus s) : status(s) {}
};

Rendered render(const CliOptions& options)
{
    const bool json = options.format == ExportFormat::Json;
    switch (options.command) {
    case ExportCommand::Samples: {
        Simulation run;
        run.initialize(options.parameters);
        const RunStatus status = run.runSimulationBounded();
        if (status != RunStatus::Ok)
            return status;
        const SampleColumns columns{run.getz2Data(), run.getw0Data(), run.getw2Data(),
                                    run.getTimeData()};
        if (!options.reference)
            return json ? samplesJson(columns, options.parameters) : samplesCsv(columns);
        const ReferenceSamples reference = referenceAtRunSamples(run);
        return json ? samplesJson(columns, options.parameters, &reference) : samplesCsv(columns, &reference);
    }
    case ExportCommand::Curves: {
        CurveSet curves;
        curves.initialize();
        return json ? curvesJson(curves) : curvesCsv(curves);
    }
    case ExportCommand::Summary: {
        const RunSummary summary = computeRunSummary(options.parameters);
        if (summary.status != RunStatus::Ok)
            return summary.status;
        return json ? summaryJson(summary) : summaryText(summary);
    }
    case ExportCommand::Trace: {
        const SolutionTrace trace = traceThrough(options.z2, options.w0);
        return json ? traceJson(trace) : traceCsv(trace);
    }
    case ExportCommand::Equilibria: {
        const std::vector<Equilibrium> equilibria = planarEquilibria();
        return json ? equilibriaJson(equilibria) : equilibriaCsv(equilibria);
    }
    case ExportCommand::Accuracy: {
        Simulation run;
        run.initialize(options.parameters);
        const RunStatus status = run.runSimulationBounded();
        if (status != RunStatus::Ok)
            return status;
        const std::vector<AccuracyRow> rows = accuracyAgainstReference(run);
        Rendered rendered(json ? accuracyJson(rows, options.parameters) : accuracyCsv(rows, options.parameters));
        if (std::isnan(rows.front().reference))
            rendered.warning = "warning: q = " + accelerationText(options.parameters.q) +
                               ", T = " + std::to_string(options.parameters.T) +
                               ": the reference solution leaves the finite numbers or runs out of steps before "
                               "the present day, so its reference, error and correct_digits are nan";
        return rendered;
    }
    case ExportCommand::Sweep:
    case ExportCommand::Solve:
    case ExportCommand::Verify:
        break; // handled by main()
    case ExportCommand::Help:
        return usageText();
    case ExportCommand::Version:
        return std::string("cosmophase-export ") + COSMOPHASE_VERSION + "\n";
    }
    return std::string();
}

// Buffered output can fail as late as the final flush or close (a full disk).
bool writeStdout(const std::string& text)
{
    int error = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        error = errno;
    if (std::fflush(stdout) != 0 && error == 0)
        error = errno;
    if (std::fclose(stdout) != 0 && error == 0)
        error = errno;
    if (error == 0)
        return true;
    std::fprintf(stderr, "cosmophase-export: cannot write to standard output: %s\n",
                 std::strerror(error));
    return false;
}

// The answer goes to standard output; a file without a session is an error.
int runVerify(const CliOptions& options)
{
    const Verification verification = verifyFile(options.verifyPath, options.digest, COSMOPHASE_VERSION);
    const int status = verifyExitStatus(verification);
    if (status == 2)
        std::fprintf(stderr, "cosmophase-export: verify: %s", verificationText(verification).c_str());
    if (options.format == ExportFormat::Json)
        return writeStdout(verificationJson(verification)) ? status : kExitIoFailure;
    if (status == 2)
        return status;
    return writeStdout(verificationText(verification)) ? status : kExitIoFailure;
}

} // namespace

int main(int argc, char** argv)
{
    // Exceeding the file-size limit should be an ordinary write error
    // (EFBIG), reported like a full disk, not a signal that kills us.
    std::signal(SIGXFSZ, SIG_IGN);

    const CliParseResult parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok()) {
        std::fprintf(stderr, "cosmophase-export: %s (see --help)\n", escapeControlCharacters(parsed.error).c_str());
        return kExitUsage;
    }
    if (!parsed.warning.empty())
        std::fprintf(stderr, "cosmophase-export: warning: %s\n", parsed.warning.c_str());

    // A sweep streams its rows as they come; a solve is not one run.
    if (parsed.options.command == ExportCommand::Sweep)
        return runSweep(parsed.options.sweep, parsed.options.format, parsed.options.outputPath);
    if (parsed.options.command == ExportCommand::Solve)
        return runSolve(parsed.options.solve, parsed.options.format, parsed.options.outputPath);

    if (parsed.options.command == ExportCommand::Verify)
        return runVerify(parsed.options);

    const Rendered rendered = render(parsed.options);
    if (rendered.status != RunStatus::Ok) {
        const RunParameters& p = parsed.options.parameters;
        std::fprintf(stderr, "cosmophase-export: q = %s, T = %d: %s\n", accelerationText(p.q).c_str(),
                     p.T, statusReason(rendered.status).c_str());
        return kExitRunFailed;
    }
    if (!rendered.warning.empty())
        std::fprintf(stderr, "cosmophase-export: %s\n", rendered.warning.c_str());
    const std::string& text = rendered.text;
    const bool informational = parsed.options.command == ExportCommand::Help ||
                               parsed.options.command == ExportCommand::Version;
    if (informational || parsed.options.outputPath.empty())
        return writeStdout(text) ? 0 : kExitIoFailure;

    const WriteResult result = writeFileAtomically(parsed.options.outputPath, text);
    if (!result.ok) {
        // The path is the user's text.
        std::fprintf(stderr, "cosmophase-export: %s\n", escapeControlCharacters(result.error).c_str());
        return kExitIoFailure;
    }
    if (!result.warning.empty())
        std::fprintf(stderr, "cosmophase-export: %s\n", escapeControlCharacters(result.warning).c_str());
    return 0;
}

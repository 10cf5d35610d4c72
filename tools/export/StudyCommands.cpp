#include "StudyCommands.h"

#include "AtomicWrite.h"
#include "DataFormat.h"
#include "OneLine.h"
#include "GridSweep.h"
#include "ProgressBar.h"
#include "SweepFormat.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace cosmophase {

namespace {

constexpr int kExitIoFailure = 1;
constexpr int kExitNotReached = 3;
constexpr int kExitInterrupted = 130;
constexpr std::size_t kFlushBytes = 1 << 16;

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void noteInterrupt(int)
{
    g_interrupted = 1;
}

// Where the text goes: standard output, or a file that replaces the old one
// only once complete.
class Output {
public:
    explicit Output(const std::string& path)
    {
        if (!path.empty())
            m_file = std::make_unique<AtomicFileWriter>(path);
    }

    bool open()
    {
        if (!m_file)
            return true;
        const WriteResult opened = m_file->open();
        if (!opened.ok)
            std::fprintf(stderr, "cosmophase-export: %s\n", opened.error.c_str());
        return opened.ok;
    }

    bool write(const std::string& text)
    {
        if (m_file)
            return m_file->append(text);
        if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size())
            return true;
        m_error = errno;
        return false;
    }

    // The file is renamed into place only here; a failed stdout is reported.
    bool finish()
    {
        if (m_file) {
            const WriteResult result = m_file->commit();
            if (!result.ok)
                std::fprintf(stderr, "cosmophase-export: %s\n", result.error.c_str());
            else if (!result.warning.empty())
                std::fprintf(stderr, "cosmophase-export: warning: %s\n", result.warning.c_str());
            return result.ok;
        }
        if (m_error == 0 && std::fflush(stdout) != 0)
            m_error = errno;
        if (m_error == 0)
            return true;
        std::fprintf(stderr, "cosmophase-export: cannot write to standard output: %s\n", std::strerror(m_error));
        return false;
    }

private:
    std::unique_ptr<AtomicFileWriter> m_file;
    int m_error = 0;
};

void appendSolutionCsv(std::string& out, const studies::Solution& solution, std::int32_t temperature)
{
    out += solution.integrator == studies::Integrator::Run ? "run," : "reference,";
    appendDouble(out, solution.q);
    out += ',';
    appendIndex(out, static_cast<std::size_t>(temperature));
    for (const double value : {solution.values.elapsedYears, solution.values.q0, solution.values.xi0,
                               solution.values.densityRatio}) {
        out += ',';
        appendDouble(out, value);
    }
    out += '\n';
}

void appendSolutionJson(std::string& out, const studies::Solution& solution, std::int32_t temperature)
{
    out += solution.integrator == studies::Integrator::Run ? "{\"integrator\":\"run\",\"q\":"
                                                           : "{\"integrator\":\"reference\",\"q\":";
    appendJsonNumber(out, solution.q);
    out += ",\"T\":";
    appendIndex(out, static_cast<std::size_t>(temperature));
    const char* names[] = {"elapsed_years", "q0", "xi0", "density_ratio"};
    const double values[] = {solution.values.elapsedYears, solution.values.q0, solution.values.xi0,
                             solution.values.densityRatio};
    for (int i = 0; i < 4; ++i) {
        out += ",\"";
        out += names[i];
        out += "\":";
        appendJsonNumber(out, values[i]);
    }
    out += '}';
}

} // namespace

int runSweep(const SweepOptions& sweep, ExportFormat format, const std::string& outputPath)
{
    const studies::RowRange rows = studies::rowsOf(sweep.shard, sweep.q.size() * sweep.T.size());
    const bool json = format == ExportFormat::Json;

    Output output(outputPath);
    if (!output.open())
        return kExitIoFailure;
    std::signal(SIGINT, noteInterrupt);
    std::signal(SIGTERM, noteInterrupt);

    studies::ProgressBar progress(stderr, rows.end - rows.begin);
    std::string buffer = json ? studies::sweepJsonOpening() : studies::sweepCsvHeader(sweep.reference);
    bool written = true;
    const auto emit = [&](std::uint64_t row, const studies::StudyPoint& point) {
        if (json)
            studies::appendSweepJsonRow(buffer, point, sweep.reference, row == rows.begin);
        else
            studies::appendSweepCsvRow(buffer, point, sweep.reference);
        if (buffer.size() >= kFlushBytes) {
            written = output.write(buffer);
            buffer.clear();
        }
        progress.update(row + 1 - rows.begin);
        return written && g_interrupted == 0;
    };
    studies::sweepInOrder(sweep.q, sweep.T, rows, sweep.threads, sweep.reference, emit);
    progress.finish();
    if (g_interrupted != 0) {
        if (outputPath.empty())
            std::fputs("cosmophase-export: interrupted\n", stderr);
        else
            std::fprintf(stderr, "cosmophase-export: interrupted; %s was left as it was\n",
                         escapeControlCharacters(outputPath).c_str());
        return kExitInterrupted;
    }
    if (json)
        buffer += studies::sweepJsonClosing();
    if (written)
        written = output.write(buffer);
    return output.finish() && written ? 0 : kExitIoFailure;
}

int runSolve(const studies::SolveRequest& request, ExportFormat format, const std::string& outputPath)
{
    const studies::SolveResult result = studies::solveForParameter(request);
    if (result.solutions.empty()) {
        std::fprintf(stderr, "cosmophase-export: %s\n", studies::unreachedTargetText(request, result).c_str());
        return kExitNotReached;
    }
    std::string text = format == ExportFormat::Json ? "[\n" : "integrator,q,T,elapsed_years,q0,xi0,density_ratio\n";
    for (std::size_t i = 0; i < result.solutions.size(); ++i) {
        if (format == ExportFormat::Json) {
            if (i > 0)
                text += ",\n";
            appendSolutionJson(text, result.solutions[i], request.temperature);
        } else {
            appendSolutionCsv(text, result.solutions[i], request.temperature);
        }
    }
    if (format == ExportFormat::Json)
        text += "\n]\n";
    Output output(outputPath);
    if (!output.open())
        return kExitIoFailure;
    const bool written = output.write(text);
    return output.finish() && written ? 0 : kExitIoFailure;
}

} // namespace cosmophase

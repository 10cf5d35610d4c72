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

// One line on standard error: messages quote the user's path.
void report(const std::string& message)
{
    std::fprintf(stderr, "cosmophase-export: %s\n", escapeControlCharacters(message).c_str());
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
            report(opened.error);
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
                report(result.error);
            else if (!result.warning.empty())
                report("warning: " + result.warning);
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

std::string formatTarget(double target)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", target);
    return text;
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
            report("interrupted; " + outputPath + " was left as it was");
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
    if (!result.error.empty()) {
        report(std::string("no solution for ") + studies::solveQuantityPhrase(request.quantity) + " " + formatTarget(request.target) +
               ": " + result.error);
        return kExitNotReached;
    }
    if (result.solutions.empty()) {
        std::fprintf(stderr, "cosmophase-export: %s\n", studies::unreachedTargetText(request, result).c_str());
        return kExitNotReached;
    }
    const bool json = format == ExportFormat::Json;
    std::string text = json ? studies::sweepJsonOpening() : studies::solveCsvHeader();
    for (std::size_t i = 0; i < result.solutions.size(); ++i) {
        if (json)
            studies::appendSolveJsonRow(text, result.solutions[i], request.temperature, i == 0);
        else
            studies::appendSolveCsvRow(text, result.solutions[i], request.temperature);
    }
    if (json)
        text += studies::sweepJsonClosing();
    Output output(outputPath);
    if (!output.open())
        return kExitIoFailure;
    const bool written = output.write(text);
    return output.finish() && written ? 0 : kExitIoFailure;
}

} // namespace cosmophase

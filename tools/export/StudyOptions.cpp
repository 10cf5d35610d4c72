#include "StudyOptions.h"

#include "DecimalText.h"
#include "GridSweep.h"
#include "OneLine.h"

#include <charconv>

namespace cosmophase {

namespace {

std::string quoted(const std::string& text)
{
    return "'" + escapeControlCharacters(text) + "'";
}

std::string readThreads(const std::string& value, unsigned& threads)
{
    unsigned n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (error != std::errc() || end != value.data() + value.size() || n == 0 || n > studies::kMaxStudyThreads)
        return "option --threads needs a whole number from 1 to 1024, not " + quoted(value);
    threads = n;
    return {};
}

} // namespace

bool isStudyOption(const std::string& name)
{
    return name == "--threads" || name == "--shard" || name == "--age" || name == "--q0" || name == "--xi0" ||
           name == "--one-minus-q";
}

std::string readSweepOptions(const OptionValues& values, SweepOptions& sweep)
{
    sweep.threads = studies::machineCores();
    bool qGiven = false;
    for (const auto& [name, value] : values) {
        if (name == "--q" || name == "--one-minus-q" || name == "--T") {
            const bool q = name != "--T";
            if (q && qGiven)
                return "options --q and --one-minus-q are two ways to give one grid: use one";
            qGiven |= q;
            const studies::GridParse grid = name == "--q"  ? studies::GridParse::acceleration(value)
                                            : q            ? studies::GridParse::oneMinusAcceleration(value)
                                                           : studies::GridParse::temperature(value);
            if (!grid.grid && name == "--q" && studies::GridParse::oneMinusAcceleration(value).grid)
                return "option --q " + quoted(value) + ": " + grid.error + ": --one-minus-q " + quoted(value);
            if (!grid.grid)
                return "option " + name + " " + quoted(value) + ": " + grid.error;
            (q ? sweep.q : sweep.T) = *grid.grid;
        } else if (name == "--threads") {
            if (std::string error = readThreads(value, sweep.threads); !error.empty())
                return error;
        } else if (name == "--shard") {
            const std::optional<studies::Shard> shard = studies::Shard::parse(value);
            if (!shard)
                return "option --shard needs K/N with 1 <= K <= N, not " + quoted(value);
            sweep.shard = *shard;
        } else {
            return "option " + name + " does not apply to sweep";
        }
    }
    return {};
}

std::string readSolveOptions(const OptionValues& values, studies::SolveRequest& solve)
{
    solve.threads = studies::machineCores();
    int targets = 0;
    for (const auto& [name, value] : values) {
        if (name == "--age" || name == "--q0" || name == "--xi0") {
            ++targets;
            if (readFiniteDecimal(value, solve.target) != DecimalError::None)
                return "option " + name + " needs a finite decimal number, not " + quoted(value);
            solve.quantity = name == "--age"  ? studies::SolveQuantity::Age
                             : name == "--q0" ? studies::SolveQuantity::Q0
                                              : studies::SolveQuantity::Xi0;
        } else if (name == "--T") {
            const ParsedValue<std::int32_t> T = parseTemperature(value);
            if (!T.value)
                return "option --T " + quoted(value) + ": " + T.error;
            solve.temperature = *T.value;
        } else if (name == "--threads") {
            if (std::string error = readThreads(value, solve.threads); !error.empty())
                return error;
        } else {
            return "option " + name + " does not apply to solve";
        }
    }
    if (targets != 1)
        return "solve needs exactly one of --age, --q0 and --xi0";
    return {};
}

std::string studyOptionsHelp()
{
    return "  --q GRID, --T GRID sweep: the values of q and T, each a comma list, A:B:N\n"
           "                     (N values from A to B inclusive; for T stepping by a\n"
           "                     whole number) or, for q only, A:B:N:log (1 - q evenly\n"
           "                     spaced in log10; A, B < 1, not both below 0.5);\n"
           "                     default: the default value\n"
           "  --one-minus-q GRID sweep, instead of --q: the values of 1 - q, as the\n"
           "                     study's axes show them: a comma list, A:B:N or A:B:N:log\n"
           "                     (evenly in log10(1 - q); A, B > 0), e.g. 1e-9:1e-3:200:log\n"
           "  --threads N        sweep, solve: threads to use (default: every core)\n"
           "  --shard K/N        sweep: only the K-th of N equal runs of rows, each\n"
           "                     with the header, for splitting a sweep across machines\n"
           "  --age YEARS, --q0 V, --xi0 V\n"
           "                     solve: the present-day value to reach (one of them);\n"
           "                     --T N picks the temperature (default 9000)\n";
}

} // namespace cosmophase

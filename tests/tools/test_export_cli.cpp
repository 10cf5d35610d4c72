// Drives the real cosmophase-export binary through its process interface.

#include "CurveSet.h"
#include "CurvesExport.h"
#include "ExportCore.h"
#include "JsonReader.h"
#include "Simulation.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <ostream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

using namespace cosmophase;
using cosmophase::testing::JsonReader;
using cosmophase::testing::JsonValue;
using cosmophase::testing::ScratchFolder;
using cosmophase::testing::readFile;
using cosmophase::testing::splitFields;
using cosmophase::testing::splitLines;
using cosmophase::testing::writeFile;

namespace {

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs argv with stdin from /dev/null and stdout/stderr captured in files;
// `stdoutPath` sends stdout somewhere else instead (such as /dev/full).
ProcessResult run(const std::vector<std::string>& argv, const std::string& stdoutPath = {})
{
    ScratchFolder io;
    const std::string outPath = stdoutPath.empty() ? io.file("stdout") : stdoutPath;
    const std::string errPath = io.file("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    ProcessResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    if (stdoutPath.empty())
        result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

ProcessResult runExport(std::vector<std::string> args, const std::string& stdoutPath = {})
{
    args.insert(args.begin(), COSMOPHASE_EXPORT_BINARY);
    return run(args, stdoutPath);
}

bool isOneLine(const std::string& text)
{
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

std::uint64_t bitsOf(const std::string& text)
{
    const double value = std::strtod(text.c_str(), nullptr);
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The in-process computations the tool's output must reproduce.
class ExportCli : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_run = std::make_unique<Simulation>();
        s_run->initialize();
        s_run->runSimulation();
        s_curves = std::make_unique<CurveSet>();
        s_curves->initialize();
    }
    static void TearDownTestSuite()
    {
        s_run.reset();
        s_curves.reset();
    }

    static std::unique_ptr<Simulation> s_run;
    static std::unique_ptr<CurveSet> s_curves;
};

std::unique_ptr<Simulation> ExportCli::s_run;
std::unique_ptr<CurveSet> ExportCli::s_curves;

} // namespace

TEST_F(ExportCli, SamplesCsvIsTheForwardRunBitForBit)
{
    const ProcessResult result = runExport({"samples"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const std::vector<std::string> lines = splitLines(result.out);
    ASSERT_EQ(lines.size(), 5924u);
    ASSERT_EQ(lines.size(), s_run->getTimeData().size() + 1);
    EXPECT_EQ(lines[0], "index,time_years,z2,w0,w2,density_ratio,q0,xi0");
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        const std::vector<std::string> f = splitFields(lines[k + 1]);
        ASSERT_EQ(f.size(), 8u);
        ASSERT_EQ(f[0], std::to_string(k));
        ASSERT_EQ(bitsOf(f[1]), bitsOf(s_run->getTimeData()[k])) << k;
        ASSERT_EQ(bitsOf(f[2]), bitsOf(s_run->getz2Data()[k])) << k;
        ASSERT_EQ(bitsOf(f[3]), bitsOf(s_run->getw0Data()[k])) << k;
        ASSERT_EQ(bitsOf(f[4]), bitsOf(s_run->getw2Data()[k])) << k;
    }
}

TEST_F(ExportCli, CurvesCsvListsEachCurveInOrderBitForBit)
{
    const ProcessResult result = runExport({"curves"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = splitLines(result.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "curve,index,z2,w0");
    std::size_t line = 1;
    const char* const names[] = {"family", "stable_leave", "stable_rest", "unstable_leave",
                                 "unstable_rest"};
    const Curve* const curves[] = {&s_curves->family(), &s_curves->stableLeave(),
                                   &s_curves->stableRest(), &s_curves->unstableLeave(),
                                   &s_curves->unstableRest()};
    for (int c = 0; c < 5; ++c) {
        const Curve& curve = *curves[c];
        for (std::size_t k = 0; k < curve.size(); ++k, ++line) {
            ASSERT_LT(line, lines.size());
            const std::vector<std::string> f = splitFields(lines[line]);
            ASSERT_EQ(f.size(), 4u);
            ASSERT_EQ(f[0], names[c]);
            ASSERT_EQ(f[1], std::to_string(k));
            ASSERT_EQ(bitsOf(f[2]), bitsOf(curve.x[k])) << names[c] << " " << k;
            ASSERT_EQ(bitsOf(f[3]), bitsOf(curve.y[k])) << names[c] << " " << k;
        }
    }
    EXPECT_EQ(line, lines.size());
}

TEST_F(ExportCli, SummaryReportsTheRunAndTheCurveSet)
{
    const ProcessResult json = runExport({"summary", "--format", "json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const JsonValue s = JsonReader::parse(json.out);
    EXPECT_EQ(s.at("samples").number, 5923);
    EXPECT_EQ(s.at("attempted_steps").number, 5922);
    EXPECT_EQ(s.at("rejected_steps").number, 0);
    const int changedAfter[] = {17, 29, 262, 2710};
    const double taus[] = {0.1, 0.01, 0.001, 0.0001};
    ASSERT_EQ(s.at("step_changes").items.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.at("step_changes").items[i].at("after_step").number, changedAfter[i]);
        EXPECT_DOUBLE_EQ(s.at("step_changes").items[i].at("tau").number, taus[i]);
    }
    EXPECT_EQ(bitsOf(s.at("final_time_years").number), bitsOf(s_run->getTimeData().back()));
    EXPECT_EQ(bitsOf(s.at("end_state").at("z4").number),
              bitsOf(static_cast<double>(s_run->endState().z4)));
    EXPECT_NEAR(s.at("q0").number, 0.4250, 5e-5);
    EXPECT_NEAR(s.at("xi0").number, 0.3586, 5e-5);
    const std::pair<const char*, double> counts[] = {{"family", 10454},
                                                     {"stable_leave", 11527},
                                                     {"stable_rest", 25938},
                                                     {"unstable_leave", 17211},
                                                     {"unstable_rest", 33157}};
    for (const auto& [name, points] : counts)
        EXPECT_EQ(s.at("curve_points").at(name).number, points) << name;
    const std::string digest = samplesDigest(
        {s_run->getz2Data(), s_run->getw0Data(), s_run->getw2Data(), s_run->getTimeData()});
    EXPECT_EQ(s.at("digest").text, digest);

    const ProcessResult text = runExport({"summary"});
    ASSERT_EQ(text.status, 0) << text.err;
    for (const std::string expected : {"5923", "5922 attempted, 0 rejected", "after step 2710",
                                       "33157 unstable_rest", digest.c_str()})
        EXPECT_NE(text.out.find(expected), std::string::npos) << expected;
}

TEST_F(ExportCli, JsonHasOneArrayPerColumnOrPerCurve)
{
    const ProcessResult samples = runExport({"samples", "--format", "json"});
    ASSERT_EQ(samples.status, 0) << samples.err;
    const JsonValue s = JsonReader::parse(samples.out);
    ASSERT_EQ(s.members.size(), 8u);
    for (const auto& [name, array] : s.members)
        EXPECT_EQ(array.items.size(), s_run->getTimeData().size()) << name;

    const ProcessResult curves = runExport({"--format=json", "curves"});
    ASSERT_EQ(curves.status, 0) << curves.err;
    const JsonValue c = JsonReader::parse(curves.out);
    const std::vector<NamedCurve> expected = exportedCurves(*s_curves);
    ASSERT_EQ(c.members.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(c.members[i].first, expected[i].name);
        EXPECT_EQ(c.members[i].second.at("x").items.size(), expected[i].curve.size());
        EXPECT_EQ(c.members[i].second.at("y").items.size(), expected[i].curve.size());
        EXPECT_EQ(bitsOf(c.members[i].second.at("y").items.back().number),
                  bitsOf(expected[i].curve.y.back()));
    }
}

TEST(ExportCliProcess, OutputIsByteIdenticalAcrossProcesses)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"samples"}, {"curves", "--format", "json"}, {"summary"}}) {
        const ProcessResult first = runExport(args);
        const ProcessResult second = runExport(args);
        ASSERT_EQ(first.status, 0);
        EXPECT_FALSE(first.out.empty());
        EXPECT_TRUE(first.out == second.out) << args[0];
    }
}

TEST(ExportCliProcess, OptionsMayComeBeforeOrAfterTheSubcommand)
{
    ScratchFolder folder;
    const ProcessResult reference = runExport({"summary", "--format", "json"});
    const ProcessResult before =
        runExport({"--output=" + folder.file("s.json"), "--format=json", "summary"});
    ASSERT_EQ(before.status, 0) << before.err;
    EXPECT_EQ(before.out, "");
    EXPECT_EQ(readFile(folder.file("s.json")), reference.out);
}

TEST(ExportCliProcess, OutputReplacesAnExistingFileAtomically)
{
    ScratchFolder folder;
    const std::string target = folder.file("samples.csv");
    writeFile(target, "old contents\n");
    const ProcessResult result = runExport({"samples", "--output", target});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(readFile(target), runExport({"samples"}).out);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"samples.csv"});
}

TEST(ExportCliProcess, HelpAndVersion)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"-h"},
                                               {"summary", "--help"}}) {
        const ProcessResult help = runExport(args);
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("Usage: cosmophase-export", 0), 0u) << help.out;
        EXPECT_EQ(help.err, "");
    }
    const ProcessResult version = runExport({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("cosmophase-export ") + COSMOPHASE_VERSION + "\n");
}

namespace {

struct BadInput {
    const char* name;
    std::vector<std::string> args;
    const char* mentions; // what the one-line message must name
};

// Keeps ctest's test names short: the case name instead of the bytes.
void PrintTo(const BadInput& input, std::ostream* out) { *out << input.name; }

class ExportCliBadInput : public ::testing::TestWithParam<BadInput> {};

} // namespace

TEST_P(ExportCliBadInput, ExitsWithStatusTwoAndOneLine)
{
    const ProcessResult result = runExport(GetParam().args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    EXPECT_NE(result.err.find(GetParam().mentions), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ExportCliBadInput,
    ::testing::Values(BadInput{"NoSubcommand", {}, "no subcommand"},
                      BadInput{"OnlyOptions", {"--format", "json"}, "no subcommand"},
                      BadInput{"UnknownSubcommand", {"plot"}, "'plot'"},
                      BadInput{"UnknownOption", {"samples", "--verbose"}, "'--verbose'"},
                      BadInput{"UnknownShortOption", {"-x", "samples"}, "'-x'"},
                      BadInput{"MissingOutputValue", {"samples", "--output"}, "--output"},
                      BadInput{"MissingFormatValue", {"curves", "--format"}, "--format"},
                      BadInput{"EmptyOutputValue", {"samples", "--output="}, "--output"},
                      BadInput{"BadFormat", {"--format", "xml", "samples"}, "'xml'"},
                      BadInput{"FormatTwice", {"summary", "--format=csv", "--format=json"},
                               "--format"},
                      BadInput{"SecondSubcommand", {"samples", "curves"}, "'curves'"},
                      BadInput{"ExtraArgument", {"summary", "now"}, "'now'"}),
    [](const ::testing::TestParamInfo<BadInput>& info) { return info.param.name; });

namespace {

struct IoFailure {
    const char* name;
    // Returns the --output path to use inside the scratch folder.
    std::string (*target)(const ScratchFolder& folder);
};

void PrintTo(const IoFailure& failure, std::ostream* out) { *out << failure.name; }

class ExportCliIoFailure : public ::testing::TestWithParam<IoFailure> {};

} // namespace

TEST_P(ExportCliIoFailure, ExitsWithStatusOneAndLeavesNoFileBehind)
{
    ScratchFolder folder;
    writeFile(folder.file("keep.csv"), "keep\n");
    const std::string target = GetParam().target(folder);
    const ProcessResult result = runExport({"curves", "--output", target});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    EXPECT_NE(result.err.find(target), std::string::npos) << result.err;
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"keep.csv"});
    EXPECT_EQ(readFile(folder.file("keep.csv")), "keep\n");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ExportCliIoFailure,
    ::testing::Values(
        IoFailure{"MissingFolder", [](const ScratchFolder& f) { return f.file("no/such.csv"); }},
        IoFailure{"Folder", [](const ScratchFolder& f) { return f.path(); }},
        IoFailure{"FolderRefusingNewFiles", [](const ScratchFolder&) {
                      return std::string("/proc/cosmophase-export.csv");
                  }}),
    [](const ::testing::TestParamInfo<IoFailure>& info) { return info.param.name; });

// A rename would replace a device or pipe instead of writing to it (think of
// --output /dev/full); a pipe stands in so a regression cannot harm /dev.
TEST(ExportCliProcess, NonRegularTargetIsNotReplaced)
{
    ScratchFolder folder;
    const std::string pipe = folder.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const ProcessResult result = runExport({"samples", "--output", pipe});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    struct stat info {};
    ASSERT_EQ(::stat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"pipe"});
}

// A disk that fills up mid-write, by a 4 KiB file-size limit on the tool.
TEST(ExportCliProcess, FullDiskKeepsTheOldFileAndLeavesNoTemporary)
{
    ScratchFolder folder;
    const std::string target = folder.file("samples.csv");
    writeFile(target, "old\n");
    const ProcessResult result = run({"/bin/sh", "-c",
                                      "ulimit -f 8 && exec \"$0\" samples --output \"$1\"",
                                      COSMOPHASE_EXPORT_BINARY, target});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    EXPECT_EQ(readFile(target), "old\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"samples.csv"});
}

TEST(ExportCliProcess, FullStandardOutputIsAnError)
{
    const ProcessResult result = runExport({"samples"}, "/dev/full");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    EXPECT_NE(result.err.find("standard output"), std::string::npos) << result.err;
}

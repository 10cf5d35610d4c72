// Drives the real cosmophase-export binary through its process interface.

#include "CurveSet.h"
#include "ExportCore.h"
#include "Observables.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cosmophase;

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

template <typename... Args> std::string printed(const char* format, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Invalid JSON gives an empty object, which every check below rejects.
QJsonObject parseJson(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

// Read back by a real JSON reader, every number must come back to the bit.
void expectSameBits(const QJsonValue& array, const std::vector<double>& values, const char* what)
{
    ASSERT_EQ(array.toArray().size(), static_cast<qsizetype>(values.size())) << what;
    for (std::size_t k = 0; k < values.size(); ++k)
        ASSERT_TRUE(sameBits(array[static_cast<qsizetype>(k)].toDouble(), values[k])) << what << k;
}

// A fresh folder, removed with its contents at the end.
struct Scratch {
    std::string path = ::mkdtemp((::testing::TempDir() + "cosmophase-export-XXXXXX").data());
    ~Scratch()
    {
        ::chmod(path.c_str(), 0700);
        std::filesystem::remove_all(path);
    }
    std::string file(const char* name) const { return path + "/" + name; }
    // With inodes: a file replaced by a rename is a new inode under the same name.
    std::map<std::string, ino_t> entries() const
    {
        std::map<std::string, ino_t> names;
        struct stat info {};
        for (const auto& entry : std::filesystem::directory_iterator(path))
            if (::lstat(entry.path().c_str(), &info) == 0)
                names[entry.path().filename()] = info.st_ino;
        return names;
    }
};

struct Result {
    int status = -1;
    std::string out, err;
};

// Runs the tool with stdout/stderr caught in files; `inChild` runs in the
// child just before exec (limits, credentials, ...).
Result runExport(std::vector<std::string> args, void (*inChild)() = nullptr)
{
    Scratch io;
    const std::string out = io.file("stdout"), err = io.file("stderr");
    args.insert(args.begin(), COSMOPHASE_EXPORT_BINARY);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        if (inChild)
            inChild();
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readFile(out),
            readFile(err)};
}

Simulation forwardRun()
{
    Simulation run;
    run.initialize();
    run.runSimulation();
    run.computeRedShiftVsLuminosity();
    return run;
}

const struct {
    const char* name;
    const Curve& (CurveSet::*curve)() const;
    int points;
} kCurves[] = {{"family", &CurveSet::family, 10454},
               {"stable_leave", &CurveSet::stableLeave, 11527},
               {"stable_rest", &CurveSet::stableRest, 25938},
               {"unstable_leave", &CurveSet::unstableLeave, 17211},
               {"unstable_rest", &CurveSet::unstableRest, 33157}};

} // namespace

// The derived columns come out as the read-outs compute them.
TEST(ExportCli, SamplesAreTheForwardRunToTheLastBit)
{
    const Result csv = runExport({"samples"}), json = runExport({"samples", "--format", "json"});
    ASSERT_EQ(csv.status + json.status, 0) << csv.err << json.err;
    const char* const names[] = {"index", "time_years", "z2", "w0", "w2", "density_ratio", "q0",
                                 "xi0"};
    const Simulation run = forwardRun();
    std::string text = "index,time_years,z2,w0,w2,density_ratio,q0,xi0\n";
    std::vector<double> columns[8];
    for (std::size_t k = 0; k < run.getTimeData().size(); ++k) {
        const double z2 = run.getz2Data()[k], w0 = run.getw0Data()[k], w2 = run.getw2Data()[k];
        const PresentDay present = presentDayParameters(z2, w0, w2);
        const double row[] = {static_cast<double>(k), run.getTimeData()[k], z2, w0, w2,
                              densityRatio(static_cast<long double>(z2)), present.q0, present.xi0};
        text += printed("%zu,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", k, row[1], row[2],
                        row[3], row[4], row[5], row[6], row[7]);
        for (std::size_t c = 0; c < 8; ++c)
            columns[c].push_back(row[c]);
    }
    EXPECT_EQ(csv.out, text);
    const QJsonObject object = parseJson(json.out);
    EXPECT_EQ(object.size(), 8);
    for (std::size_t c = 0; c < 8; ++c)
        expectSameBits(object[names[c]], columns[c], names[c]);
}

TEST(ExportCli, CurvesAreListedInOrderInCsvAndAsXYArraysInJson)
{
    const Result csv = runExport({"curves"}), json = runExport({"--format=json", "curves"});
    ASSERT_EQ(csv.status + json.status, 0) << csv.err << json.err;
    CurveSet curves;
    curves.initialize();
    const QJsonObject object = parseJson(json.out);
    EXPECT_EQ(object.size(), 5);
    std::string text = "curve,index,z2,w0\n";
    for (const auto& named : kCurves) {
        const Curve& curve = (curves.*named.curve)();
        for (std::size_t k = 0; k < curve.size(); ++k)
            text += printed("%s,%zu,%.17g,%.17g\n", named.name, k, curve.x[k], curve.y[k]);
        expectSameBits(object[named.name]["x"], curve.x, named.name);
        expectSameBits(object[named.name]["y"], curve.y, named.name);
    }
    EXPECT_EQ(csv.out, text);
}

TEST(ExportCli, SummaryReportsTheRunAndTheCurveSetTheSameInEveryProcess)
{
    const Result json = runExport({"summary", "--format", "json"}), text = runExport({"summary"});
    ASSERT_EQ(json.status + text.status, 0) << json.err << text.err;
    const QJsonObject s = parseJson(json.out);
    const Simulation run = forwardRun();
    const State end = run.endState();
    const std::pair<const char*, double> figures[] = {
        {"samples", 5923}, {"attempted_steps", 5922}, {"rejected_steps", 0},
        {"final_time_years", run.getTimeData().back()},
        {"final_sim_time", static_cast<double>(run.simTime())},
        {"z2", static_cast<double>(end.z2)}, {"z4", static_cast<double>(end.z4)},
        {"w0", static_cast<double>(end.w0)}, {"w2", static_cast<double>(end.w2)},
        {"q0", run.q0()}, {"xi0", run.xi0()}};
    for (const auto& [key, value] : figures)
        EXPECT_TRUE(sameBits((s.contains(key) ? s[key] : s["end_state"][key]).toDouble(), value))
            << key;
    const int after[] = {17, 29, 262, 2710};
    ASSERT_EQ(s["step_changes"].toArray().size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s["step_changes"][i]["after_step"].toInt(), after[i]);
    for (const auto& named : kCurves)
        EXPECT_EQ(s["curve_points"][named.name].toInt(), named.points) << named.name;
    const std::string digest =
        samplesDigest({run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData()});
    EXPECT_EQ(s["digest"].toString().toStdString(), digest);
    for (const std::string& wanted : {std::string("5922 attempted, 0 rejected"), digest,
                                      printed("%.17g", run.q0()), printed("%.17g", run.xi0())})
        EXPECT_NE(text.out.find(wanted), std::string::npos) << wanted;
    EXPECT_EQ(runExport({"summary"}).out, text.out);
}

// No temporary left, the old file's mode kept, and the same bytes as another
// process writes to standard output.
TEST(ExportCli, OutputReplacesAnExistingFile)
{
    Scratch dir;
    const std::string target = dir.file("samples.csv");
    std::ofstream(target) << "old\n";
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const Result r = runExport({"--output=" + target, "samples"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_TRUE(readFile(target) == runExport({"samples"}).out);
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST(ExportCli, HelpAndVersion)
{
    for (const auto& args : {std::vector<std::string>{"--help"}, {"-h"}, {"summary", "--help"}}) {
        const Result help = runExport(args);
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("Usage: cosmophase-export", 0), 0u) << help.out;
    }
    const Result version = runExport({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("cosmophase-export ") + COSMOPHASE_VERSION + "\n");
}

namespace {

std::string existingFile(const Scratch& d) { return d.file("keep.csv"); }

// A rename would replace a pipe or device instead of writing to it (think of
// --output /dev/full); a pipe stands in so a regression cannot harm /dev.
std::string newPipe(const Scratch& d)
{
    ::mkfifo(d.file("pipe").c_str(), 0600);
    return d.file("pipe");
}

std::string readOnlyFolder(const Scratch& d)
{
    ::chmod(d.path.c_str(), 0555);
    return existingFile(d);
}

// Root ignores permission bits, so a read-only folder needs an unprivileged user.
void dropPrivileges()
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(77);
}

// A disk that fills up: the write comes up short, then fails with EFBIG.
const rlimit kFileSizeLimit{4096, 4096};

// Bad input exits with 2, an I/O failure with 1. `target` prepares the folder
// and gives the --output path; the message names it, or `mentions`.
const struct {
    const char* name;
    int status;
    std::vector<std::string> args;
    const char* mentions;
    std::string (*target)(const Scratch& dir) = nullptr;
    void (*inChild)() = nullptr;
} kFailures[] = {
    {"NoSubcommand", 2, {}, "no subcommand"},
    {"OnlyOptions", 2, {"--format", "json"}, "no subcommand"},
    {"UnknownSubcommand", 2, {"plot"}, "'plot'"},
    {"UnknownOption", 2, {"samples", "--verbose"}, "'--verbose'"},
    {"UnknownShortOption", 2, {"-x", "samples"}, "'-x'"},
    {"MissingOutputValue", 2, {"samples", "--output"}, "--output"},
    {"MissingFormatValue", 2, {"curves", "--format"}, "--format"},
    {"EmptyOutputValue", 2, {"samples", "--output="}, "--output"},
    {"BadFormat", 2, {"--format", "xml", "samples"}, "'xml'"},
    {"FormatTwice", 2, {"summary", "--format=csv", "--format=json"}, "--format"},
    {"SecondSubcommand", 2, {"samples", "curves"}, "'curves'"},
    {"ExtraArgument", 2, {"summary", "now"}, "'now'"},
    {"MissingFolder", 1, {"samples"}, nullptr, [](const Scratch& d) { return d.file("a/b"); }},
    {"Folder", 1, {"samples"}, nullptr, [](const Scratch& d) { return d.path; }},
    {"FolderWithSlash", 1, {"samples"}, nullptr, [](const Scratch& d) { return d.path + "/"; }},
    {"Pipe", 1, {"samples"}, nullptr, newPipe},
    {"FullDisk", 1, {"samples"}, nullptr, existingFile,
     [] { ::setrlimit(RLIMIT_FSIZE, &kFileSizeLimit); }},
    {"ReadOnlyFolder", 1, {"samples"}, nullptr, readOnlyFolder, dropPrivileges},
    // Buffered standard output can fail as late as the final flush.
    {"FullStandardOutput", 1, {"samples"}, "standard output", nullptr,
     [] { ::dup2(::open("/dev/full", O_WRONLY), 1); }}};

// The parameter is a table row; ctest names the case after the row.
class ExportCliFailure : public ::testing::TestWithParam<std::size_t> {};

} // namespace

TEST_P(ExportCliFailure, ExitsWithOneLineAndLeavesEverythingAsItWas)
{
    const auto& failure = kFailures[GetParam()];
    Scratch dir;
    std::ofstream(existingFile(dir)) << "keep\n";
    std::vector<std::string> args = failure.args;
    const std::string target = failure.target ? failure.target(dir) : "";
    if (!target.empty())
        args.insert(args.end(), {"--output", target});
    const auto before = dir.entries();
    const Result r = runExport(args, failure.inChild);
    if (r.status == 77)
        GTEST_SKIP() << "running as root without the right to switch to an unprivileged user";
    EXPECT_EQ(r.status, failure.status);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(!r.err.empty() && r.err.find('\n') == r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(failure.mentions ? failure.mentions : target), std::string::npos) << r.err;
    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(readFile(existingFile(dir)), "keep\n");
}

INSTANTIATE_TEST_SUITE_P(Table, ExportCliFailure,
                         ::testing::Range<std::size_t>(0, std::size(kFailures)),
                         [](const auto& info) { return kFailures[info.param].name; });

#include "ExportCore.h"
#include "JsonReader.h"
#include "Observables.h"
#include "Simulation.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <ostream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace cosmophase;
using cosmophase::testing::JsonReader;
using cosmophase::testing::JsonValue;
using cosmophase::testing::ScratchFolder;
using cosmophase::testing::readFile;
using cosmophase::testing::splitFields;
using cosmophase::testing::splitLines;
using cosmophase::testing::writeFile;

namespace {

const char* const kHeader = "index,time_years,z2,w0,w2,density_ratio,q0,xi0";

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double parse(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << text;
    return value;
}

std::string fixed(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// Runs `body` in a forked child (own limits and credentials) and returns its
// exit status; the child never returns into the test runner.
int exitStatusOfChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// 0 when the write failed with a one-line message naming the path (and, if
// given, the reason); 1 when it succeeded; 2 for a malformed message.
int classifyFailedWrite(const WriteResult& result, const std::string& path,
                        const std::string& reason = {})
{
    if (result.ok)
        return 1;
    const bool wellFormed = result.error.find(path) != std::string::npos &&
                            result.error.find('\n') == std::string::npos &&
                            result.error.find(reason) != std::string::npos;
    return wellFormed ? 0 : 2;
}

class ExportedRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_run = std::make_unique<Simulation>();
        s_run->initialize();
        s_run->runSimulation();
    }
    static void TearDownTestSuite() { s_run.reset(); }

    static SampleColumns columns()
    {
        return {s_run->getz2Data(), s_run->getw0Data(), s_run->getw2Data(), s_run->getTimeData()};
    }

    static std::unique_ptr<Simulation> s_run;
};

std::unique_ptr<Simulation> ExportedRun::s_run;

} // namespace

TEST_F(ExportedRun, CsvHasTheHeaderAndOneIndexedRowPerSample)
{
    const std::vector<std::string> lines = splitLines(samplesCsv(columns()));
    ASSERT_EQ(lines.size(), s_run->getTimeData().size() + 1);
    EXPECT_EQ(lines[0], kHeader);
    for (std::size_t k = 1; k < lines.size(); ++k) {
        const std::vector<std::string> fields = splitFields(lines[k]);
        ASSERT_EQ(fields.size(), 8u) << lines[k];
        ASSERT_EQ(fields[0], std::to_string(k - 1));
    }
}

TEST_F(ExportedRun, CsvValuesReadBackBitForBit)
{
    const SampleColumns c = columns();
    const std::vector<std::string> lines = splitLines(samplesCsv(c));
    for (std::size_t k = 0; k < c.time.size(); ++k) {
        const std::vector<std::string> f = splitFields(lines[k + 1]);
        const PresentDay present = presentDayParameters(c.z2[k], c.w0[k], c.w2[k]);
        const double expected[] = {c.time[k], c.z2[k], c.w0[k], c.w2[k],
                                   densityRatio(static_cast<long double>(c.z2[k])), present.q0,
                                   present.xi0};
        for (std::size_t column = 0; column < 7; ++column)
            ASSERT_EQ(bitsOf(parse(f[column + 1])), bitsOf(expected[column]))
                << "sample " << k << " column " << column + 1;
    }
}

// The derived columns are what the read-outs show for the same sample.
TEST_F(ExportedRun, DerivedColumnsShowLikeTheReadOuts)
{
    const std::vector<std::string> lines = splitLines(samplesCsv(columns()));
    const std::vector<std::string> first = splitFields(lines[1]);
    EXPECT_EQ(fixed("D Ratio = %0.8f", parse(first[5])), "D Ratio = 0.99999812");
    EXPECT_EQ(fixed("%0.3f", parse(first[6])), "0.250");
    EXPECT_EQ(fixed("%0.3f", parse(first[7])), "-0.125");
    const std::vector<std::string> last = splitFields(lines.back());
    EXPECT_EQ(fixed("%0.3f", parse(last[6])), "0.425");
    EXPECT_EQ(fixed("%0.3f", parse(last[7])), "0.359");
}

TEST_F(ExportedRun, JsonHoldsOneArrayPerCsvColumnWithTheSameValues)
{
    const SampleColumns c = columns();
    const JsonValue json = JsonReader::parse(samplesJson(c));
    const std::vector<std::string> header = splitFields(kHeader);
    ASSERT_EQ(json.kind, JsonValue::Kind::Object);
    ASSERT_EQ(json.members.size(), header.size());
    const std::vector<std::string> lines = splitLines(samplesCsv(c));
    for (std::size_t column = 0; column < header.size(); ++column) {
        EXPECT_EQ(json.members[column].first, header[column]);
        const JsonValue& array = json.members[column].second;
        ASSERT_EQ(array.items.size(), c.time.size());
        for (std::size_t k = 0; k < c.time.size(); ++k) {
            ASSERT_EQ(array.items[k].kind, JsonValue::Kind::Number);
            ASSERT_EQ(bitsOf(array.items[k].number),
                      bitsOf(parse(splitFields(lines[k + 1])[column])))
                << header[column] << " " << k;
        }
    }
}

TEST(SamplesExport, NonFiniteValuesAreNullInJsonAndNamedInCsv)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> z2{nan, 0.0}, w0{inf, 0.0}, w2{-inf, 0.0}, time{1.0, 2.0};
    const SampleColumns samples{z2, w0, w2, time};

    const JsonValue json = JsonReader::parse(samplesJson(samples));
    for (const char* column : {"z2", "w0", "w2", "q0", "xi0", "density_ratio"})
        EXPECT_EQ(json.at(column).items[0].kind, JsonValue::Kind::Null) << column;
    EXPECT_EQ(json.at("q0").items[1].kind, JsonValue::Kind::Number);

    const std::vector<std::string> row = splitFields(splitLines(samplesCsv(samples))[1]);
    EXPECT_EQ(row[2], "nan");
    EXPECT_EQ(row[3], "inf");
    EXPECT_EQ(row[4], "-inf");
}

TEST(FormatDouble, MatchesPercent17gAndReadsBackExactly)
{
    const double values[] = {0.1,     1.0 / 3.0,          -0.0,    5e-324,
                             DBL_MIN, DBL_MAX,            1e23,    std::nextafter(1.0, 2.0),
                             -1.25e-7, 13143589681.210569, 1e100,   -2.5511074501771702e-06};
    for (double value : values) {
        const std::string text = formatDouble(value);
        EXPECT_EQ(text, fixed("%.17g", value));
        EXPECT_EQ(bitsOf(parse(text)), bitsOf(value)) << text;
        EXPECT_EQ(jsonNumber(value), text);
    }
}

TEST(FormatDouble, NonFiniteValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatDouble(std::nan("")), "nan");
    EXPECT_EQ(formatDouble(-std::nan("")), "nan");
    EXPECT_EQ(formatDouble(inf), "inf");
    EXPECT_EQ(formatDouble(-inf), "-inf");
    for (double value : {std::nan(""), inf, -inf})
        EXPECT_EQ(jsonNumber(value), "null");
}

// Reference values of FNV-1a 64 over little-endian z2, w0, w2, time per
// sample, as the README documents it, so other tools can reproduce digests.
TEST(SamplesDigest, KnownVectors)
{
    const std::vector<double> none;
    EXPECT_EQ(samplesDigest({none, none, none, none}), "cbf29ce484222325");
    const std::vector<double> z2{1.0, -0.5}, w0{2.0, 0.0}, w2{3.0, 1e300}, time{4.0, 5e-324};
    const std::vector<double> z2a{1.0}, w0a{2.0}, w2a{3.0}, timea{4.0};
    EXPECT_EQ(samplesDigest({z2a, w0a, w2a, timea}), "93b2be02cd2882a0");
    EXPECT_EQ(samplesDigest({z2, w0, w2, time}), "8794e0f9a850fbb2");
}

TEST_F(ExportedRun, DigestIsStableAcrossRuns)
{
    Simulation again;
    again.initialize();
    again.runSimulation();
    const std::string digest = samplesDigest(columns());
    EXPECT_EQ(digest.size(), 16u);
    EXPECT_EQ(samplesDigest({again.getz2Data(), again.getw0Data(), again.getw2Data(),
                             again.getTimeData()}),
              digest);
}

TEST_F(ExportedRun, DigestChangesWithOneUlpAnywhere)
{
    const std::string original = samplesDigest(columns());
    const std::size_t n = s_run->getTimeData().size();
    for (int column = 0; column < 4; ++column) {
        for (std::size_t k : {std::size_t{0}, n / 2, n - 1}) {
            std::vector<double> data[] = {s_run->getz2Data(), s_run->getw0Data(),
                                          s_run->getw2Data(), s_run->getTimeData()};
            double& value = data[column][k];
            value = std::nextafter(value, value + 1.0);
            EXPECT_NE(samplesDigest({data[0], data[1], data[2], data[3]}), original)
                << "column " << column << " sample " << k;
        }
    }
    // The same values in another column order are another run.
    EXPECT_NE(samplesDigest({s_run->getw0Data(), s_run->getz2Data(), s_run->getw2Data(),
                             s_run->getTimeData()}),
              original);
}

TEST(WriteFileAtomically, CreatesThenReplacesKeepingModeAndLeavingNoTemporary)
{
    ScratchFolder folder;
    const std::string target = folder.file("out.csv");
    ASSERT_TRUE(writeFileAtomically(target, "first\n").ok);
    EXPECT_EQ(readFile(target), "first\n");

    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const WriteResult second = writeFileAtomically(target, "second\n");
    EXPECT_TRUE(second.ok) << second.error;
    EXPECT_EQ(readFile(target), "second\n");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.csv"});
}

namespace {

struct BadTarget {
    const char* name;
    // Prepares the folder and returns the path to write to.
    std::function<std::string(const ScratchFolder&)> prepare;
    std::vector<std::string> entriesAfter;
    bool (*stillIntact)(const std::string& path);
};

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isFifo(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

bool nothingThere(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) != 0;
}

// Keeps ctest's test names short: the case name instead of the bytes.
void PrintTo(const BadTarget& target, std::ostream* out) { *out << target.name; }

class WriteFileAtomicallyFailure : public ::testing::TestWithParam<BadTarget> {};

} // namespace

TEST_P(WriteFileAtomicallyFailure, FailsWithOneLineAndLeavesNothingBehind)
{
    ScratchFolder folder;
    const BadTarget& bad = GetParam();
    const std::string target = bad.prepare(folder);
    const WriteResult result = writeFileAtomically(target, "contents\n");
    EXPECT_EQ(classifyFailedWrite(result, target), 0) << result.error;
    EXPECT_EQ(folder.entries(), bad.entriesAfter);
    EXPECT_TRUE(bad.stillIntact(target));
}

INSTANTIATE_TEST_SUITE_P(
    Targets, WriteFileAtomicallyFailure,
    ::testing::Values(
        BadTarget{"PathIsAFolder",
                  [](const ScratchFolder& f) {
                      ::mkdir(f.file("sub").c_str(), 0700);
                      return f.file("sub");
                  },
                  {"sub"}, isFolder},
        BadTarget{"PathIsAFolderWithSlash",
                  [](const ScratchFolder& f) { return f.path() + "/"; }, {}, isFolder},
        BadTarget{"FolderDoesNotExist",
                  [](const ScratchFolder& f) { return f.file("missing/out.csv"); }, {},
                  nothingThere},
        // A device or pipe would be replaced by the rename, not written to.
        BadTarget{"PathIsAPipe",
                  [](const ScratchFolder& f) {
                      ::mkfifo(f.file("pipe").c_str(), 0600);
                      return f.file("pipe");
                  },
                  {"pipe"}, isFifo},
        BadTarget{"EmptyPath", [](const ScratchFolder&) { return std::string(); }, {},
                  nothingThere}),
    [](const ::testing::TestParamInfo<BadTarget>& info) { return info.param.name; });

// Root ignores permission bits, so the write is attempted as "nobody".
TEST(WriteFileAtomically, ReadOnlyFolderFailsAndKeepsTheOldFile)
{
    constexpr int kCannotDropPrivileges = 77;
    ScratchFolder folder;
    const std::string target = folder.file("out.csv");
    writeFile(target, "old\n");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);

    const int status = exitStatusOfChild([&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return kCannotDropPrivileges;
        return classifyFailedWrite(writeFileAtomically(target, "new\n"), target,
                                   std::strerror(EACCES));
    });
    if (status == kCannotDropPrivileges)
        GTEST_SKIP() << "running as root without the right to switch to an unprivileged user";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(target), "old\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.csv"});
}

// A disk that fills up mid-write: a small file-size limit makes write()
// come up short and then fail, as ENOSPC would.
TEST(WriteFileAtomically, FullDiskFailsAndKeepsTheOldFile)
{
    ScratchFolder folder;
    const std::string target = folder.file("out.csv");
    writeFile(target, "old\n");

    const int status = exitStatusOfChild([&] {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        return classifyFailedWrite(writeFileAtomically(target, std::string(65536, 'x')), target,
                                   std::strerror(EFBIG));
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(target), "old\n");
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"out.csv"});
}

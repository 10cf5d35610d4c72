// Drives the real cosmophase-export binary through its process interface.

#include "CurveSet.h"
#include "DataFormat.h"
#include "KnownPresentDay.h"
#include "Observables.h"
#include "PhasePlaneExport.h"
#include "ReferenceSamples.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>
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

// Read back by a real JSON reader, every number must come back to the bit.
void expectSameBits(const QJsonValue& array, const std::vector<double>& values, const char* what)
{
    ASSERT_EQ(array.toArray().size(), static_cast<qsizetype>(values.size())) << what;
    for (std::size_t k = 0; k < values.size(); ++k)
        ASSERT_TRUE(sameBits(array[static_cast<qsizetype>(k)].toDouble(), values[k])) << what << k;
}

// Megabytes of text: the first difference, where gtest's own diff would take forever.
void expectSameText(const std::string& got, const std::string& want)
{
    const std::size_t at =
        std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin();
    EXPECT_TRUE(got == want) << got.substr(at, 80) << "\ninstead of\n" << want.substr(at, 80);
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
    // With types: a pipe replaced by a rename would be a regular file.
    std::map<std::string, std::filesystem::file_type> entries() const
    {
        std::map<std::string, std::filesystem::file_type> names;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            names[entry.path().filename()] = entry.symlink_status().type();
        return names;
    }
};

// Exit status, standard output and standard error of the tool; `inChild` runs
// in the child just before exec (limits, credentials, ...).
std::tuple<int, std::string, std::string> runExport(std::vector<const char*> args,
                                                    void (*inChild)() = [] {})
{
    Scratch io;
    const std::string out = io.file("stdout"), err = io.file("stderr");
    args.insert(args.begin(), COSMOPHASE_EXPORT_BINARY);
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        inChild();
        ::execv(args[0], const_cast<char* const*>(args.data()));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readFile(out),
            readFile(err)};
}

// Standard output of a run that must succeed quietly.
std::string outputOf(const std::vector<const char*>& args)
{
    const auto [status, out, err] = runExport(args);
    EXPECT_EQ(status, 0) << err;
    EXPECT_EQ(err, "");
    return out;
}

const std::tuple<const char*, const Curve& (CurveSet::*)() const, int> kCurves[] = {
    {"family", &CurveSet::family, 10454},
    {"stable_leave", &CurveSet::stableLeave, 11527},
    {"stable_rest", &CurveSet::stableRest, 25938},
    {"unstable_leave", &CurveSet::unstableLeave, 17211},
    {"unstable_rest", &CurveSet::unstableRest, 33157}};

} // namespace

// Derived columns as the read-outs compute them; the summary alike in every process.
TEST(ExportCli, SamplesAndSummaryAreTheForwardRunToTheLastBit)
{
    const std::string csv = outputOf({"samples"}), json = outputOf({"samples", "--format", "json"});
    const std::string report = outputOf({"summary", "--format=json"}), text = outputOf({"summary"});
    Simulation run;
    run.initialize();
    run.runSimulation();
    run.computeRedShiftVsLuminosity();
    const QStringList names = QString("index,time_years,z2,w0,w2,density_ratio,q0,xi0").split(',');
    std::string expected = names.join(',').toStdString() + "\n";
    std::vector<double> columns[8];
    for (std::size_t k = 0; k < run.getTimeData().size(); ++k) {
        const double z2 = run.getz2Data()[k], w0 = run.getw0Data()[k], w2 = run.getw2Data()[k];
        const PresentDay present = presentDayParameters(z2, w0, w2);
        const double row[] = {static_cast<double>(k), run.getTimeData()[k], z2, w0, w2,
                              densityRatio(static_cast<long double>(z2)), present.q0, present.xi0};
        for (std::size_t c = 0; c < 8; ++c) {
            expected += printed("%.17g", row[c]) + (c < 7 ? "," : "\n"); // the index too
            columns[c].push_back(row[c]);
        }
    }
    expectSameText(csv, expected);
    const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    EXPECT_EQ(object.size(), 10);
    EXPECT_TRUE(sameBits(object["q"].toDouble(), 0.999999426));
    EXPECT_EQ(object["T"].toInt(), 9000);
    for (std::size_t c = 0; c < 8; ++c)
        expectSameBits(object[names[c]], columns[c], qPrintable(names[c]));

    const QJsonObject s = QJsonDocument::fromJson(QByteArray::fromStdString(report)).object();
    const State end = run.endState();
    const std::pair<const char*, long double> figures[] = {
        {"samples", 5923}, {"attempted_steps", 5922}, {"rejected_steps", 0}, {"q0", run.q0()},
        {"final_time_years", run.getTimeData().back()}, {"final_sim_time", run.simTime()},
        {"xi0", run.xi0()}, {"z2", end.z2}, {"z4", end.z4}, {"w0", end.w0}, {"w2", end.w2}};
    for (const auto& [key, value] : figures)
        EXPECT_TRUE(sameBits((s.contains(key) ? s[key] : s["end_state"][key]).toDouble(), value))
            << key;
    EXPECT_EQ(s["step_changes"].toArray().size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(s["step_changes"][i]["after_step"].toInt(), (std::array{17, 29, 262, 2710}[i]));
    for (const auto& [name, curve, points] : kCurves)
        EXPECT_EQ(s["curve_points"][name].toInt(), points) << name;
    const std::string digest =
        samplesDigest({run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData()});
    EXPECT_EQ(s["digest"].toString().toStdString(), digest);
    for (const std::string& wanted : {std::string("5922 attempted, 0 rejected"), digest,
                                      printed("%.17g", run.q0()), printed("%.17g", run.xi0())})
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
    EXPECT_EQ(outputOf({"summary"}), text);
}

// The run side is what summary shows; the reference side the reference
// library's present day; the JSON carries the CSV's numbers.
TEST(ExportCli, AccuracyComparesTheLastSampleWithThePresentDay)
{
    const QJsonObject accuracy =
        QJsonDocument::fromJson(QByteArray::fromStdString(outputOf({"accuracy", "--format=json"}))).object();
    EXPECT_EQ(accuracy["T"].toInt(), 9000);
    EXPECT_TRUE(sameBits(accuracy["hubble_equality_target"].toDouble(), 14379468419.811455));
    const QJsonArray json = accuracy["quantities"].toArray();
    const QJsonObject summary =
        QJsonDocument::fromJson(QByteArray::fromStdString(outputOf({"summary", "--format=json"}))).object();
    // The run column is what summary shows, and the read-out's density ratio.
    const double z2 = summary["end_state"]["z2"].toDouble();
    const double shown[] = {summary["final_sim_time"].toDouble(), summary["final_time_years"].toDouble(), z2,
                            summary["end_state"]["w0"].toDouble(), summary["end_state"]["w2"].toDouble(),
                            summary["q0"].toDouble(), summary["xi0"].toDouble(),
                            densityRatio(static_cast<long double>(z2))};
    std::string csv = "q,T,quantity,run,reference,error,correct_digits\n";
    ASSERT_EQ(json.size(), static_cast<qsizetype>(std::size(kKnownPresentDay)));
    for (std::size_t i = 0; i < std::size(kKnownPresentDay); ++i) {
        const KnownPresentDay& known = kKnownPresentDay[i];
        SCOPED_TRACE(known.quantity);
        const QJsonObject row = json[static_cast<qsizetype>(i)].toObject();
        EXPECT_EQ(row["quantity"].toString().toStdString(), known.quantity);
        const double numbers[] = {row["run"].toDouble(), row["reference"].toDouble(), row["error"].toDouble(),
                                  row["correct_digits"].toDouble()};
        EXPECT_TRUE(sameBits(numbers[0], known.run));
        EXPECT_TRUE(sameBits(numbers[0], shown[i]));
        const long double reference = known.reference, scale = std::fabs(reference);
        EXPECT_LE(std::fabs(numbers[1] - reference), kReferenceTolerance * scale);
        EXPECT_LE(std::fabs(numbers[2] - (known.run - reference)), kReferenceTolerance * scale);
        EXPECT_EQ(numbers[3], known.digits);
        csv += std::string("0.999999426,9000,") + known.quantity + printed(",%.17g,%.17g,%.17g,%.17g\n", numbers[0], numbers[1], numbers[2], numbers[3]);
    }
    // The CSV holds the same numbers.
    EXPECT_EQ(outputOf({"accuracy"}), csv);
}

// The reference columns follow the plain export's, which stay as they are.
TEST(ExportCli, SamplesWithTheReferenceAtEachSample)
{
    const std::string plain = outputOf({"samples"}), csv = outputOf({"samples", "--reference"});
    Simulation run;
    run.initialize();
    run.runSimulation();
    const auto times = sampleModelTimes(run);
    const ReferenceSamples reference =
        referenceAtSamples(ReferenceSolution(ReferenceStart::of(run), times.back()), times);
    const std::vector<double>* columns[] = {&reference.z2, &reference.w0, &reference.w2,
                                            &reference.densityRatio, &reference.q0, &reference.xi0};
    std::size_t plainAt = 0, at = 0;
    for (std::size_t line = 0; line < times.size() + 1; ++line) {
        const std::size_t plainEnd = plain.find('\n', plainAt), end = csv.find('\n', at);
        ASSERT_EQ(csv.compare(at, plainEnd - plainAt, plain, plainAt, plainEnd - plainAt), 0) << "line " << line;
        std::string extra = line == 0 ? ",reference_z2,reference_w0,reference_w2,"
                                        "reference_density_ratio,reference_q0,reference_xi0"
                                      : "";
        for (const std::vector<double>* column : columns)
            extra += line == 0 ? "" : printed(",%.17g", (*column)[line - 1]);
        ASSERT_EQ(csv.substr(at + plainEnd - plainAt, end - at - (plainEnd - plainAt)), extra) << "line " << line;
        plainAt = plainEnd + 1;
        at = end + 1;
    }
    EXPECT_EQ(at, csv.size());

    const QJsonObject object = QJsonDocument::fromJson(
        QByteArray::fromStdString(outputOf({"--reference", "samples", "--format", "json"}))).object();
    EXPECT_EQ(object.size(), 16); // q, T and the fourteen columns
    expectSameBits(object["reference_q0"], reference.q0, "reference_q0");
    expectSameBits(object["reference_z2"], reference.z2, "reference_z2");
}

// The defaults spelt out are the defaults; other values reach the run.
TEST(ExportCli, ParametersChooseTheRun)
{
    EXPECT_TRUE(outputOf({"samples", "--q", "0.999999426", "--T", "9000"}) == outputOf({"samples"}));
    const std::string other = outputOf({"samples", "--q=1", "--T=1000", "--format=json"});
    const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(other)).object();
    EXPECT_EQ(object["q"].toDouble(), 1.0);
    EXPECT_EQ(object["T"].toInt(), 1000);
    EXPECT_EQ(object["index"].toArray().size(), 6170);
    const std::string summary = outputOf({"summary", "--T", "+1000", "--q", "1"});
    EXPECT_NE(summary.find("\nq                1\nT                1000\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("6169 attempted, 0 rejected"), std::string::npos) << summary;
}

// A session gives q and T as --q and --T would; a bad one is a bad argument.
TEST(ExportCli, SessionChoosesTheRun)
{
    Scratch dir;
    const std::string session = dir.file("run.cosmophase");
    std::ofstream(session) << R"({"format": "cosmophase-session", "version": 1, "q": "1", "T": 1000})";
    for (const char* command : {"samples", "summary", "accuracy"})
        EXPECT_TRUE(outputOf({command, "--session", session.c_str()}) == outputOf({command, "--q=1", "--T=1000"}))
            << command;
    const std::string unknown = dir.file("unknown.cosmophase");
    std::ofstream(unknown) << R"({"format": "cosmophase-session", "version": 1, "q": "1", "T": 1000, "x": 0})";
    const auto [status, out, err] = runExport({"summary", "--session", unknown.c_str()});
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(out == outputOf({"summary", "--session", session.c_str()}));
    EXPECT_EQ(err, "cosmophase-export: warning: 1 unknown key ignored: x\n");
    const std::string bad = dir.file("bad.cosmophase");
    std::ofstream(bad) << R"({"format": "cosmophase-session", "version": 1, "q": "1.4"})";
    const std::string badLine = "option --session: " + bad + ": q '1.4': q must be above 0";
    const std::string newline = dir.file("a\nb");
    const struct {
        std::vector<const char*> args;
        std::string mentions;
    } failures[] = {
        {{"samples", "--session", bad.c_str()}, badLine},
        {{"summary", "--session", dir.path.c_str()}, "is a folder"},
        {{"accuracy", "--session", newline.c_str()}, "a\\x0ab: No such file"},
        {{"samples", "--q", "1", "--session", session.c_str()}, "--session conflicts with --q"},
        {{"samples", "--session", session.c_str(), "--T", "1"}, "--session conflicts with --T"},
        {{"curves", "--session", session.c_str()}, "--session applies only to samples, summary and accuracy"},
        {{"sweep", "--session", session.c_str()}, "--session applies only"},
    };
    for (const auto& failure : failures) {
        const auto [status, out, err] = runExport(failure.args);
        EXPECT_EQ(status, 2) << err;
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find(failure.mentions), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
}

TEST(ExportCli, CurvesAreListedInOrderInCsvAndAsXYArraysInJson)
{
    const std::string csv = outputOf({"curves"}), json = outputOf({"--format=json", "curves"});
    CurveSet curves;
    curves.initialize();
    const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    EXPECT_EQ(object.size(), 5);
    std::string text = "curve,index,z2,w0\n";
    for (const auto& [name, list, points] : kCurves) {
        const Curve& curve = (curves.*list)();
        for (std::size_t k = 0; k < curve.size(); ++k)
            text += printed("%s,%zu,%.17g,%.17g\n", name, k, curve.x[k], curve.y[k]);
        expectSameBits(object[name]["x"], curve.x, name);
        expectSameBits(object[name]["y"], curve.y, name);
    }
    expectSameText(csv, text);
}

// The same numbers the application draws for a click there, in both layouts;
// a point outside the open square is a valid request with one-point halves.
TEST(ExportCli, TraceThroughAPointBothWays)
{
    const struct {
        std::vector<const char*> args;
        double z2, w0;
    } cases[] = {{{"trace", "--z2", "0.5", "--w0", "-0.25"}, 0.5, -0.25},
                 {{"--w0=+1e-1", "trace", "--z2=-1.2"}, -1.2, 0.1},
                 {{"trace", "--z2", "-1.9999999999999998", "--w0", "2"}, -1.9999999999999998, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(printed("%g, %g", c.z2, c.w0));
        const SolutionTrace trace = traceThrough(c.z2, c.w0);
        std::string text = "curve,index,z2,w0\n";
        for (const auto& [name, half] :
             {std::pair{"forward", &trace.forward}, {"backward", &trace.backward}})
            for (std::size_t k = 0; k < half->size(); ++k)
                text += printed("%s,%zu,%.17g,%.17g\n", name, k, half->x[k], half->y[k]);
        expectSameText(outputOf(c.args), text);

        std::vector<const char*> jsonArgs = c.args;
        jsonArgs.push_back("--format=json");
        const QJsonObject object =
            QJsonDocument::fromJson(QByteArray::fromStdString(outputOf(jsonArgs))).object();
        EXPECT_EQ(object.keys(), (QStringList{"backward", "forward"}));
        expectSameBits(object["forward"]["x"], trace.forward.x, "forward x");
        expectSameBits(object["forward"]["y"], trace.forward.y, "forward y");
        expectSameBits(object["backward"]["x"], trace.backward.x, "backward x");
        expectSameBits(object["backward"]["y"], trace.backward.y, "backward y");
    }
    EXPECT_EQ(outputOf({"trace", "--z2", "3", "--w0", "0"}),
              "curve,index,z2,w0\nforward,0,3,0\nbackward,0,3,0\n");
}

TEST(ExportCli, EquilibriaWithTypesInCsvAndEigenvectorsInJson)
{
    const std::vector<Equilibrium> equilibria = planarEquilibria();
    std::string text = "z2,w0,eigenvalue1_re,eigenvalue1_im,eigenvalue2_re,eigenvalue2_im,type\n";
    for (const Equilibrium& e : equilibria)
        text += printed("%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%s\n", e.z2, e.w0,
                        e.eigenvalues[0].real(), e.eigenvalues[0].imag(), e.eigenvalues[1].real(),
                        e.eigenvalues[1].imag(), e.type.c_str());
    EXPECT_EQ(outputOf({"equilibria"}), text);
    EXPECT_NE(text.find(",saddle\n"), std::string::npos);
    EXPECT_NE(text.find(",stable degenerate node\n"), std::string::npos);
    EXPECT_NE(text.find(",unstable node\n"), std::string::npos);

    // The layout itself is the data library's; here, that it is what is written.
    const std::string json = outputOf({"equilibria", "--format", "json"});
    EXPECT_EQ(json, equilibriaJson(equilibria));
    const QJsonArray array = QJsonDocument::fromJson(QByteArray::fromStdString(json)).array();
    EXPECT_EQ(array.at(1).toObject()["type"].toString(), "stable degenerate node");
}

// No temporary left, the old mode kept, the bytes another process writes to stdout.
TEST(ExportCli, OutputReplacesAnExistingFile)
{
    Scratch dir;
    const std::string target = dir.file("samples.csv");
    std::ofstream(target) << "old\n";
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const std::string option = "--output=" + target;
    EXPECT_EQ(outputOf({option.c_str(), "samples"}), "");
    EXPECT_TRUE(readFile(target) == outputOf({"samples"}));
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST(ExportCli, HelpAndVersion)
{
    for (const auto& args : {std::vector<const char*>{"--help"}, {"-h"}, {"summary", "--help"}})
        EXPECT_EQ(outputOf(args).rfind("Usage: cosmophase-export", 0), 0u);
    const std::string help = outputOf({"--help"});
    for (const char* listed : {"  trace ", "  equilibria ", "  accuracy ", "trace --z2 X --w0 Y", "--reference"})
        EXPECT_NE(help.find(listed), std::string::npos) << listed;
    EXPECT_EQ(outputOf({"--version"}), "cosmophase-export " COSMOPHASE_VERSION "\n");
}

namespace {

// Bad input exits with 2, an I/O failure with 1. The message names `mentions`
// or the --output path, `target` in a folder that `prepare` has set up.
const struct {
    const char* name;
    int status;
    std::vector<const char*> args;
    const char* mentions;
    const char* target = nullptr;
    void (*prepare)(const Scratch& dir) = [](const Scratch&) {};
    void (*inChild)() = [] {};
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
    {"ReferenceForAnotherCommand", 2, {"summary", "--reference"}, "--reference"},
    {"ReferenceWithAValue", 2, {"samples", "--reference=yes"}, "--reference"},
    {"ReferenceTwice", 2, {"--reference", "samples", "--reference"}, "--reference"},
    // The point must be given, and be a finite number written wholly as one.
    {"TraceWithoutZ2", 2, {"trace", "--w0", "0.5"}, "--z2", "keep.csv"},
    {"TraceWithoutW0", 2, {"trace", "--z2", "0.5"}, "--w0", "keep.csv"},
    {"TrailingJunk", 2, {"trace", "--z2", "1.5x", "--w0", "0"}, "'1.5x'", "keep.csv"},
    {"EmptyNumber", 2, {"trace", "--z2", "", "--w0", "0"}, "--z2", "keep.csv"},
    {"NotANumber", 2, {"trace", "--z2", "0", "--w0=nan"}, "'nan'", "keep.csv"},
    {"Infinity", 2, {"trace", "--z2", "inf", "--w0", "0"}, "'inf'", "keep.csv"},
    {"Overflow", 2, {"trace", "--z2", "0", "--w0", "1e999"}, "'1e999'", "keep.csv"},
    {"Underflow", 2, {"trace", "--z2", "-2e-324", "--w0", "0"}, "'-2e-324'", "keep.csv"},
    {"Hexadecimal", 2, {"trace", "--z2", "0x1p-1", "--w0", "0"}, "'0x1p-1'", "keep.csv"},
    {"LeadingSpace", 2, {"trace", "--z2", " 1", "--w0", "0"}, "' 1'", "keep.csv"},
    {"TwoSigns", 2, {"trace", "--z2", "+-1", "--w0", "0"}, "'+-1'", "keep.csv"},
    {"LoneSign", 2, {"trace", "--z2", "+", "--w0", "0"}, "'+'", "keep.csv"},
    {"PointTwice", 2, {"trace", "--z2", "1", "--w0", "0", "--z2=1"}, "--z2", "keep.csv"},
    {"PointForAnotherCommand", 2, {"equilibria", "--w0", "0"}, "--w0", "keep.csv"},
    // The run's parameters: numbers in their domain, for the subcommands that use them.
    {"QOutsideDomain", 2, {"samples", "--q", "1.3228756555322954"}, "--q", "keep.csv"},
    {"QNotANumber", 2, {"summary", "--q=0.9q"}, "'0.9q'", "keep.csv"},
    {"TZero", 2, {"samples", "--T", "0"}, "--T", "keep.csv"},
    {"TFraction", 2, {"samples", "--T", "9000.5"}, "'9000.5'", "keep.csv"},
    {"StartTimeRoundsToZero", 2, {"samples", "--q", "1e-320", "--T", "2147483647"}, "--q and --T",
     "keep.csv"},
    {"ParametersForCurves", 2, {"curves", "--T", "9000"}, "--T", "keep.csv"},
    {"ParametersForTrace", 2, {"trace", "--z2", "1", "--w0", "0", "--q", "1"}, "--q", "keep.csv"},
    // In the domain, but too close to the pole for the run to reach the present day.
    {"RunOutOfSteps", 3, {"samples", "--q", "1.3113"}, "step budget", "keep.csv"},
    {"RunStalls", 3, {"summary", "--q", "1.3118296438086006"}, "stalled", "keep.csv"},
    {"UnknownTraceOption", 2, {"trace", "--z2", "1", "--w0", "0", "--z4", "0"}, "'--z4'",
     "keep.csv"},
    // Echoed input stays on one line.
    {"NewlineInNumber", 2, {"trace", "--z2", "1\n2", "--w0", "0"}, "'1\\x0a2'", "keep.csv"},
    {"MissingFolder", 1, {"samples"}, nullptr, "no/such.csv"},
    {"NewlineInPath", 1, {"samples"}, "new\\x0aline/such.csv", "new\nline/such.csv"},
    {"Folder", 1, {"samples"}, nullptr, "."},
    // Not replaced by a rename, as a device would be (--output /dev/full).
    {"Pipe", 1, {"samples"}, nullptr, "pipe",
     [](const Scratch& d) { ::mkfifo(d.file("pipe").c_str(), 0600); }},
    // A disk that fills up: the write comes up short, then fails with EFBIG.
    {"FullDisk", 1, {"samples"}, nullptr, "keep.csv", [](const Scratch&) {},
     [] { const rlimit limit{4096, 4096}; ::setrlimit(RLIMIT_FSIZE, &limit); }},
    // Root ignores permission bits, so the tool runs as an unprivileged user.
    {"ReadOnlyFolder", 1, {"samples"}, nullptr, "keep.csv",
     [](const Scratch& d) { ::chmod(d.path.c_str(), 0555); },
     [] { if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77); }},
    // Buffered standard output can fail as late as the final flush.
    {"FullStandardOutput", 1, {"samples"}, "standard output", nullptr, [](const Scratch&) {},
     [] { ::dup2(::open("/dev/full", O_WRONLY), 1); }}};

class ExportCliFailure : public ::testing::TestWithParam<std::size_t> {};

} // namespace

TEST_P(ExportCliFailure, ExitsWithOneLineAndLeavesEverythingAsItWas)
{
    const auto& failure = kFailures[GetParam()];
    Scratch dir;
    std::ofstream(dir.file("keep.csv")) << "keep\n";
    failure.prepare(dir);
    const std::string target = failure.target ? dir.file(failure.target) : "";
    std::vector<const char*> args = failure.args;
    if (failure.target)
        args.insert(args.end(), {"--output", target.c_str()});
    const auto before = dir.entries();
    const auto [status, out, err] = runExport(args, failure.inChild);
    if (status == 77 || status == 127) // see ReadOnlyFolder
        GTEST_SKIP() << "as root, no unprivileged user could run the tool here";
    EXPECT_EQ(status, failure.status);
    EXPECT_EQ(out, "");
    EXPECT_TRUE(!err.empty() && err.find('\n') == err.size() - 1) << err;
    EXPECT_NE(err.find(failure.mentions ? failure.mentions : target), std::string::npos) << err;
    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(readFile(dir.file("keep.csv")), "keep\n");
}

INSTANTIATE_TEST_SUITE_P(Table, ExportCliFailure,
                         ::testing::Range<std::size_t>(0, std::size(kFailures)),
                         [](const auto& info) { return kFailures[info.param].name; });

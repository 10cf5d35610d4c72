#include "SampleAtPercent.h"
#include "SessionFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace cosmophase;

namespace {

const std::string kHeader = R"("format": "cosmophase-session", "version": 1)";

std::string document(const std::string& keys)
{
    return "{" + kHeader + (keys.empty() ? "" : ", " + keys) + "}";
}

class SessionFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() /
                   ("session-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string write(const std::string& name, const std::string& contents) const
    {
        const std::string path = (m_folder / name).string();
        std::ofstream(path, std::ios::binary) << contents;
        return path;
    }

    std::filesystem::path m_folder;
};

} // namespace

TEST(Session, MissingKeysAreTheStartupState)
{
    const SessionReadResult read = parseSession(document(""));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_TRUE(read.session->parameters().isDefault());
    EXPECT_EQ(read.session->marker, 0u);
    EXPECT_EQ(read.session->view.halfSide, 2);
    EXPECT_TRUE(read.session->layers == SessionLayers{});
    EXPECT_TRUE(read.session->traces.empty());
    EXPECT_TRUE(read.unknownKeys.empty());
}

TEST(Session, SaveReadSaveGivesTheSameBytes)
{
    Session session;
    session.q = "0.9999000";
    session.T = 12000;
    session.marker = 4321;
    session.view = {-0.125, 1.0 / 3, 1e-5};
    session.layers.legend = true;
    session.layers.directionField = false;
    session.traces = {{0.5, 0.5}, {-0.0, 0.1}, {1.9999999999999998, -2}};
    session.chartTab = ChartTab::Error;
    session.studyGrid = "0.99:0.999:\"10\":lin\xc3\xa9";
    session.pinnedRuns = {{"0.99990", 9000, "#8c510a", false}, {"1.2", 1, "", true}};
    session.family = SessionFamily{"0.999999999:0.999:50:log", 12000};
    const std::string first = sessionText(session);
    const SessionReadResult read = parseSession(first);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.session->q, "0.9999000"); // the text as typed, not a reformatted double
    EXPECT_TRUE(std::signbit(read.session->traces[1].z2));
    EXPECT_EQ(read.session->view.w0, 1.0 / 3);
    ASSERT_EQ(read.session->pinnedRuns.size(), 2u);
    EXPECT_EQ(read.session->pinnedRuns[0].q, "0.99990");
    EXPECT_FALSE(read.session->pinnedRuns[0].shown);
    EXPECT_EQ(read.session->pinnedRuns[1].parameters(), (RunParameters{1.2, 1}));
    EXPECT_EQ(read.session->family->T, 12000);
    EXPECT_EQ(sessionText(*read.session), first);
    // Without pinned runs or a family the file has neither key.
    EXPECT_EQ(sessionText(Session{}).find("pinned_runs"), std::string::npos);
    EXPECT_EQ(sessionText(Session{}).find("family\""), std::string::npos);
}

TEST(Session, QAsANumberAndUnknownKeysWarn)
{
    const SessionReadResult read =
        parseSession(document(R"("q": 0.9999, "colour": 1, "view": {"tilt": 3}, "traces": [{"z2": 0, "w0": 0, "id": 1}])"));
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.session->parameters().q, 0.9999);
    EXPECT_EQ(unknownKeysWarning(read.unknownKeys), "3 unknown keys ignored: colour, view.tilt, traces[].id");
    // However many, one short line.
    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += ", \"" + std::to_string(i) + std::string(100, 'k') + "\": 0";
    const std::string warning = unknownKeysWarning(parseSession(document(many.substr(2))).unknownKeys);
    EXPECT_EQ(warning.rfind("1000 unknown keys ignored: ", 0), 0u) << warning;
    EXPECT_LT(warning.size(), 300u);
}

// Each bad document is refused with one line that says what is wrong.
TEST(Session, BadDocumentsAreRefusedWithOneLine)
{
    const std::string qDomain = ParameterDomain::checkAcceleration(2);
    const std::string tDomain = ParameterDomain::checkTemperature(0);
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "the file is empty"},
        {document("").substr(0, 30), "not valid JSON"},
        {"cosmophase", "not valid JSON"},
        {"{\"format\": \"cosmophase-session\", \"version\": 1, \"q\": \"\xff\"}", "not valid JSON"},
        {"[1, 2]", "a JSON object was expected"},
        {R"({"version": 1})", "has no \"format\""},
        {R"({"format": "cosmophase-sweep", "version": 1})", "its format is '\"cosmophase-sweep\"'"},
        {R"({"format": "cosmophase-session"})", "no \"version\""},
        {R"({"format": "cosmophase-session", "version": 2})", "version 2 is newer"},
        {R"({"format": "cosmophase-session", "version": "1"})", "must be a whole number"},
        {document(R"("q": "2")"), "q '2': " + qDomain},
        {document(R"("q": "0.5 ")"), "q '0.5 ': q must be a finite decimal number"},
        {document(R"("q": "1e999")"), "beyond the range of a double"},
        {document(R"("q": 1e999)"), "not valid JSON: number overflow parsing '1e999'"},
        {document(R"("q": true)"), "q must be a decimal number"},
        {document(R"("T": 0)"), "T '0': " + tDomain},
        {document(R"("T": 2147483648)"), "T '2147483648': " + tDomain},
        {document(R"("T": "9000")"), tDomain},
        {document(R"("q": "1e-320", "T": 2000000000)"), "q and T: q is too small"},
        {document(R"("marker": -1)"), "marker must be a sample index"},
        {document(R"("view": [0, 0, 1])"), "view must be an object"},
        {document(R"("view": {"half_side": 0})"), "half_side must be above 0"},
        {document(R"("view": {"half_side": 1e400})"), "number overflow"},
        {document(R"("view": {"z2": "0"})"), "z2 must be a finite number"},
        {document(R"("layers": {"legend": 1})"), "layer legend must be true or false"},
        {document(R"("traces": {"z2": 0, "w0": 0})"), "traces must be a list"},
        {document(R"("traces": [[0.5, 0.5]])"), "traces[0] must be an object with numbers z2 and w0"},
        {document(R"("traces": [{"z2": null, "w0": 0}])"), "traces[0].z2 must be a finite number"},
        {document(R"("chart_tab": "phase")"), "chart_tab must be observables, state or error"},
        {document(R"("study_grid": 3)"), "study_grid must be text"},
        {document(R"("pinned_runs": {"q": "0.9", "T": 9000})"), "pinned_runs must be a list"},
        {document(R"("pinned_runs": [{"q": "0.9"}])"), "pinned_runs[0] must be an object with q and T"},
        {document(R"("pinned_runs": [{"q": "0.9", "T": 9000}, ["0.9", 9000]])"), "pinned_runs[1] must be an object"},
        {document(R"("pinned_runs": [{"q": "2", "T": 9000}])"), "pinned_runs[0].q '2': " + qDomain},
        {document(R"("pinned_runs": [{"q": null, "T": 9000}])"), "pinned_runs[0].q must be a decimal number"},
        {document(R"("pinned_runs": [{"q": "0.9", "T": 0}])"), "pinned_runs[0].T '0': " + tDomain},
        {document(R"("pinned_runs": [{"q": "1e-320", "T": 2000000000}])"), "pinned_runs[0]: q is too small"},
        {document(R"("pinned_runs": [{"q": "0.9", "T": 9000, "colour": "red"}])"), "colour must be a colour as #rrggbb"},
        {document(R"("pinned_runs": [{"q": "0.9", "T": 9000, "shown": 1}])"), "pinned_runs[0].shown must be true"},
        {document(R"("family": "0.9:0.99:5")"), "family must be an object with q"},
        {document(R"("family": {"q": "0.9:0.99:5"})"), "family must be an object with q"},
        {document(R"("family": {"q": 0.9, "T": 9000})"), "family.q must be a grid as text"},
        {document(R"("family": {"q": "0.9:0.99:x", "T": 9000})"), "family.q '0.9:0.99:x': "},
        {document(R"("family": {"q": "0.9:0.99:5", "T": -3})"), "family.T '-3': " + tDomain},
        {document(R"("family": {"q": "0.9:0.99:501", "T": 9000})"), "the family has 501 runs; the plot draws at most 500"},
    };
    for (const auto& c : cases) {
        const SessionReadResult read = parseSession(c.text);
        EXPECT_FALSE(read.ok()) << c.text;
        EXPECT_NE(read.error.find(c.message), std::string::npos) << c.text << "\n  gave: " << read.error;
        EXPECT_EQ(read.error.find('\n'), std::string::npos) << read.error;
    }
}

TEST(Session, MoreTracesThanThePlotKeepsAreRefused)
{
    std::string traces;
    for (int i = 0; i < 101; ++i)
        traces += std::string(i ? "," : "") + R"({"z2": 0.1, "w0": 0.1})";
    EXPECT_FALSE(parseSession(document("\"traces\": [" + traces + "]")).ok());
}

TEST(Session, MorePinnedRunsThanThePlotKeepsAreRefused)
{
    std::string runs;
    for (std::size_t i = 0; i <= kMaxPinnedRuns; ++i)
        runs += std::string(i ? "," : "") + R"({"q": "0.9", "T": 9000})";
    const SessionReadResult read = parseSession(document("\"pinned_runs\": [" + runs + "]"));
    EXPECT_NE(read.error.find("51 pinned runs; the plot keeps at most 50"), std::string::npos) << read.error;
    const SessionReadResult extra = parseSession(document(R"("pinned_runs": [{"q": "0.9", "T": 9000, "width": 3}])"));
    EXPECT_EQ(unknownKeysWarning(extra.unknownKeys), "1 unknown key ignored: pinned_runs[].width");
}

TEST_F(SessionFiles, BadFilesAreRefusedWithOneLineNamingThem)
{
    const std::string folder = m_folder.string();
    const std::string missing = folder + "/none.cosmophase";
    const std::string newline = write("two\nlines.cosmophase", "{\"format\": 1");
    const std::string oversize = write("big.cosmophase", document("\"study_grid\": \"" +
                                                                  std::string(kMaxSessionBytes, 'x') + "\""));
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {folder, folder + ": is a folder"},
        {missing, missing + ": No such file or directory"},
        {newline, folder + "/two\\x0alines.cosmophase: not a session file"},
        {oversize, "is larger than a session file can be (1024 KiB)"},
        {write("empty.cosmophase", ""), "empty.cosmophase: the file is empty"},
    };
    for (const auto& c : cases) {
        const SessionReadResult read = readSessionFile(c.path);
        EXPECT_FALSE(read.ok()) << c.path;
        EXPECT_NE(read.error.find(c.message), std::string::npos) << read.error;
        EXPECT_EQ(read.error.find('\n'), std::string::npos) << read.error;
    }
}

TEST_F(SessionFiles, WrittenAtomicallyAndReadBack)
{
    Session session;
    session.traces = {{0.5, 0.5}};
    const std::string path = (m_folder / "work.cosmophase").string();
    const WriteResult written = writeSessionFile(path, session);
    ASSERT_TRUE(written.ok) << written.error;
    const SessionReadResult read = readSessionFile(path);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(sessionText(*read.session), sessionText(session));
}

TEST(Session, MarkerAndSliderPercent)
{
    EXPECT_EQ(checkMarker(4, 5), "");
    EXPECT_EQ(checkMarker(5, 5), "marker 5 is beyond the run, whose last sample is 4");
    EXPECT_NE(checkMarker(0, 0), "");
    const std::vector<double> times{1, 2, 4, 8};
    const struct {
        double percent;
        std::int32_t sample;
    } cases[] = {{0, 0}, {12.5, 0}, {12.6, 1}, {25, 1}, {50, 2}, {99.9, 3}, {100, 3}, {150, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(sampleAtPercent(times, c.percent), c.sample) << c.percent;
    EXPECT_EQ(sampleAtPercent({}, 50), -1);
}

// `cosmophase-export verify` as a process: exit status, its one line and its
// JSON, for files that check out, were tampered with or carry no session.

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <QProcess>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

// The default run's samples digest, as `summary` prints it.
constexpr const char* kDefaultDigest = "ca58f9ced7595b1c";

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Scratch {
    std::string path = ::mkdtemp((::testing::TempDir() + "cosmophase-verify-XXXXXX").data());
    ~Scratch() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }
};

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// With no display, as the figure and movie savers work on a server.
Outcome runProgram(const char* binary, const std::vector<std::string>& args)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    process.setProcessEnvironment(environment);
    QStringList arguments;
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    process.start(binary, arguments);
    const bool finished = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {finished ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

Outcome runExport(std::vector<std::string> args) { return runProgram(COSMOPHASE_EXPORT_BINARY, std::move(args)); }

std::string sessionText(const std::string& extra = "")
{
    return R"({"format": "cosmophase-session", "version": 1)" + extra + "}";
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct VerifyCase {
    const char* name;
    std::string session; // empty: no file is written
    std::vector<std::string> options;
    int status;
    const char* out; // a part of standard output ("" when it must be empty)
    const char* err; // a part of standard error ("" when it must be empty)
};

void PrintTo(const VerifyCase& c, std::ostream* os) { *os << c.name; }

class ExportVerify : public ::testing::TestWithParam<VerifyCase> {};

} // namespace

// The digest is the default run's, so an edited q or T must show as a
// mismatch; a file that cannot be read as a session is a 2 with one line.
TEST_P(ExportVerify, ExitStatusAndOneLine)
{
    const VerifyCase& c = GetParam();
    Scratch dir;
    const std::string file = c.session.empty() ? dir.file("missing.png") : dir.write("fig", c.session);
    std::vector<std::string> args{"verify", file};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const Outcome got = runExport(args);
    EXPECT_EQ(got.status, c.status) << got.out << got.err;
    for (const auto& [stream, part] : {std::pair{got.out, c.out}, std::pair{got.err, c.err}}) {
        if (*part == '\0') {
            EXPECT_EQ(stream, "");
        } else {
            EXPECT_TRUE(contains(stream, part)) << stream << "\nlacks " << part;
            EXPECT_EQ(stream.find('\n'), stream.size() - 1) << "one line: " << stream;
        }
    }
}

const std::string kDigest = std::string("--digest=") + kDefaultDigest;

INSTANTIATE_TEST_SUITE_P(Table, ExportVerify, ::testing::Values(
    VerifyCase{"verified", sessionText(), {kDigest}, 0,
               "verified: ", ""},
    VerifyCase{"noDigestToCompare", sessionText(R"(, "q": "0.999999426", "T": 9000)"), {}, 0,
               "computed: ", ""},
    VerifyCase{"editedT", sessionText(R"(, "T": 9001)"), {kDigest}, 1,
               "mismatch: ", ""},
    VerifyCase{"runCannotFinish", sessionText(R"(, "q": "1.322875")"), {kDigest}, 1,
               "step budget; digest expected ca58f9ced7595b1c", ""},
    VerifyCase{"missingFile", "", {}, 2, "", "No such file"},
    VerifyCase{"notASession", "\x89PNG\r\n\x1a\n", {}, 2, "", "verify: "},
    VerifyCase{"damagedSession", sessionText(R"(, "q": )"), {kDigest}, 2, "", "verify: "},
    VerifyCase{"markerBeyondRun", sessionText(R"(, "marker": 5923)"), {kDigest}, 2,
               "", "marker 5923 is beyond the run"}),
    [](const auto& info) { return std::string(info.param.name); });

// verify takes one file and its own options only.
TEST(ExportVerifyArguments, AreCheckedBeforeAnythingIsRead)
{
    const std::pair<std::vector<std::string>, const char*> bad[] = {
        {{"verify"}, "verify needs the FILE"},
        {{"verify", "a", "b"}, "unexpected argument 'b'"},
        {{"verify", "a", "--digest", "ca58f9ced7595b1g"}, "16 hexadecimal digits"},
        {{"verify", "a", "--output", "b"}, "--output does not apply to verify"},
        {{"summary", "--digest", kDefaultDigest}, "--digest applies only to verify"}};
    for (const auto& [args, error] : bad) {
        const Outcome got = runExport(args);
        EXPECT_EQ(got.status, 2) << error;
        EXPECT_TRUE(contains(got.err, error)) << got.err;
    }
}

#ifdef COSMOPHASE_APP_BINARY

namespace {

std::uint32_t bigEndian(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string bigEndianBytes(std::uint32_t value)
{
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// Replaces `from` by `to` inside the record's text, where the record begins
// at its format name: the figure itself is left alone.
bool editRecord(std::string& text, const std::string& from, const std::string& to)
{
    const std::size_t record = text.find("cosmophase-figure");
    const std::size_t at = record == std::string::npos ? record : text.find(from, record);
    if (at == std::string::npos)
        return false;
    text.replace(at, from.size(), to);
    return true;
}

// What someone editing a PNG's record would do: inflate the iTXt chunk's
// text, edit it, deflate it again and give the chunk its new length and a
// correct CRC, so that only the comparison can tell.
bool editPngRecord(std::string& png, const std::string& from, const std::string& to)
{
    const std::string head = std::string("cosmophase-session") + '\0' + '\1' + '\0' + '\0' + '\0';
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = bigEndian(png, at);
        std::string data = png.substr(at + 8, length);
        if (png.compare(at + 4, 4, "iTXt") != 0 || data.compare(0, head.size(), head) != 0) {
            at += 12 + length;
            continue;
        }
        std::string text(1 << 20, '\0');
        uLongf size = text.size();
        const std::string packed = data.substr(head.size());
        if (uncompress(reinterpret_cast<Bytef*>(text.data()), &size, reinterpret_cast<const Bytef*>(packed.data()),
                       packed.size()) != Z_OK)
            return false;
        text.resize(size);
        if (!editRecord(text, from, to))
            return false;
        std::string repacked(compressBound(text.size()), '\0');
        uLongf packedSize = repacked.size();
        compress(reinterpret_cast<Bytef*>(repacked.data()), &packedSize,
                 reinterpret_cast<const Bytef*>(text.data()), text.size());
        repacked.resize(packedSize);
        const std::string chunk = "iTXt" + head + repacked;
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size())));
        png.replace(at, 12 + length, bigEndianBytes(static_cast<std::uint32_t>(chunk.size() - 4)) + chunk +
                                         bigEndianBytes(crc));
        return true;
    }
    return false;
}

// A figure or a movie of the format, saved by the program from a session
// that is not the default one.
class VerifyFigures : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        const std::string session = folder.write("run.cosmophase", sessionText(R"(, "q": "0.99999942", "T": 9000)"));
        const bool movie = name[0] == 'm';
        const Outcome made = runProgram(
            COSMOPHASE_APP_BINARY,
            movie ? std::vector<std::string>{session, "--save-animation", saved, "--size", "64", "--fps", "5",
                                             "--duration", "1"}
                  : std::vector<std::string>{session, "--save-figure", saved, "--size", "160"});
        ASSERT_EQ(made.status, 0) << made.err;
    }

    // A copy of the saved file with its record edited.
    std::string edited(const std::string& from, const std::string& to) const
    {
        std::string bytes = readFile(saved);
        const bool done = name == "f.png" ? editPngRecord(bytes, from, to) : editRecord(bytes, from, to);
        EXPECT_TRUE(done) << "no " << from << " in the record of " << name;
        return folder.write("edited-" + name, bytes);
    }

    const std::string name = GetParam();
    Scratch folder;
    const std::string saved = folder.file(name);
};

} // namespace

// Saved as it is, the figure verifies; with its q edited it must not, and
// with its record damaged it carries no session.
TEST_P(VerifyFigures, VerifiedUntilItsRecordIsEdited)
{
    const Outcome asSaved = runExport({"verify", saved});
    EXPECT_EQ(asSaved.status, 0) << asSaved.err;
    EXPECT_TRUE(contains(asSaved.out, "verified: ")) << asSaved.out;
    EXPECT_TRUE(contains(asSaved.out, "q = 0.99999942, T = 9000")) << asSaved.out;

    const Outcome tampered = runExport({"verify", edited(R"("q":"0.99999942")", R"("q":"0.99999943")"), "--format=json"});
    EXPECT_EQ(tampered.status, 1) << tampered.out << tampered.err;
    const QJsonObject facts = QJsonDocument::fromJson(QByteArray::fromStdString(tampered.out)).object();
    EXPECT_EQ(facts.keys().size(), 9);
    EXPECT_EQ(facts["status"].toString(), "mismatch");
    EXPECT_TRUE(facts["file"].toString().endsWith(QString::fromStdString("edited-" + name)));
    EXPECT_EQ(facts["q"].toDouble(), 0.99999943);
    EXPECT_EQ(facts["T"].toInt(), 9000);
    EXPECT_EQ(facts["digest_computed"].toString().size(), 16);
    EXPECT_NE(facts["digest_expected"], facts["digest_computed"]);
    EXPECT_EQ(facts["version_recorded"].toString(), COSMOPHASE_VERSION);
    EXPECT_EQ(facts["version_this"].toString(), COSMOPHASE_VERSION);
    EXPECT_TRUE(facts["reason"].toString().contains("so the file was edited"));

    const Outcome damaged = runExport({"verify", edited("cosmophase-figure", "cosmophase-figurX")});
    EXPECT_EQ(damaged.status, 2) << damaged.out;
    EXPECT_TRUE(contains(damaged.err, "damaged")) << damaged.err;
}

INSTANTIATE_TEST_SUITE_P(Formats, VerifyFigures, ::testing::Values("f.png", "f.svg", "f.pdf", "m.gif", "m.mp4", "m.webm"),
                         [](const auto& info) { return std::string(info.param).substr(2); });

#endif

// `cosmophase-export verify` as a process: exit status, its one line and its
// JSON, for files that check out, were tampered with or carry no session.

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

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

Outcome runExport(std::vector<std::string> args)
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
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readFile(out), readFile(err)};
}

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
    VerifyCase{"upperCaseDigest", sessionText(), {"--digest", "CA58F9CED7595B1C"}, 0,
               "q = 0.999999426, T = 9000, digest ca58f9ced7595b1c", ""},
    VerifyCase{"noDigestToCompare", sessionText(R"(, "q": "0.999999426", "T": 9000)"), {}, 0,
               "computed: ", ""},
    VerifyCase{"editedQ", sessionText(R"(, "q": "0.999999427")"), {kDigest}, 1,
               "mismatch: ", ""},
    VerifyCase{"editedT", sessionText(R"(, "T": 9001)"), {kDigest}, 1,
               "digest expected ca58f9ced7595b1c, computed ", ""},
    VerifyCase{"runCannotFinish", sessionText(R"(, "q": "1.322875")"), {kDigest}, 1,
               "cannot reach the present day", ""},
    VerifyCase{"missingFile", "", {}, 2, "", "No such file"},
    VerifyCase{"notASession", "\x89PNG\r\n\x1a\n", {}, 2, "", "verify: "},
    VerifyCase{"damagedSession", sessionText(R"(, "q": )"), {kDigest}, 2, "", "verify: "},
    VerifyCase{"markerBeyondRun", sessionText(R"(, "marker": 5923)"), {kDigest}, 2,
               "", "marker 5923 is beyond the run"}),
    [](const auto& info) { return std::string(info.param.name); });

// The same facts for scripts, in one object, whatever the outcome.
TEST(ExportVerifyJson, SameFactsAsTheLine)
{
    Scratch dir;
    const std::string edited = dir.write("edited.cosmophase", sessionText(R"(, "q": "0.9999995")"));
    const Outcome got = runExport({"verify", edited, "--format", "json", kDigest});
    EXPECT_EQ(got.status, 1);
    const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(got.out)).object();
    EXPECT_EQ(object.keys().size(), 9);
    EXPECT_EQ(object["status"].toString(), "mismatch");
    EXPECT_EQ(object["file"].toString().toStdString(), edited);
    EXPECT_EQ(object["q"].toDouble(), 0.9999995);
    EXPECT_EQ(object["T"].toInt(), 9000);
    EXPECT_EQ(object["digest_expected"].toString(), kDefaultDigest);
    EXPECT_EQ(object["digest_computed"].toString().size(), 16);
    EXPECT_NE(object["digest_computed"].toString(), kDefaultDigest);
    EXPECT_TRUE(object["version_recorded"].isNull());
    EXPECT_EQ(object["version_this"].toString(), COSMOPHASE_VERSION);
    EXPECT_TRUE(object["reason"].toString().contains("digest expected"));

    const Outcome missing = runExport({"verify", dir.file("none\n.svg"), "--format=json"});
    EXPECT_EQ(missing.status, 2);
    const QJsonObject none = QJsonDocument::fromJson(QByteArray::fromStdString(missing.out)).object();
    EXPECT_EQ(none["status"].toString(), "no_session");
    EXPECT_TRUE(none["q"].isNull() && none["digest_computed"].isNull());
    EXPECT_TRUE(none["reason"].toString().contains("No such file"));
}

// verify takes one file and its own options only.
TEST(ExportVerifyArguments, AreCheckedBeforeAnythingIsRead)
{
    const std::pair<std::vector<std::string>, const char*> bad[] = {
        {{"verify"}, "verify needs the FILE"},
        {{"verify", "a", "b"}, "unexpected argument 'b'"},
        {{"verify", "a", "--digest", "ca58f9ced7595b1"}, "16 hexadecimal digits"},
        {{"verify", "a", "--digest", "ca58f9ced7595b1g"}, "16 hexadecimal digits"},
        {{"verify", "a", "--q", "1"}, "--q applies only"},
        {{"verify", "a", "--output", "b"}, "--output does not apply to verify"},
        {{"summary", "--digest", kDefaultDigest}, "--digest applies only to verify"}};
    for (const auto& [args, error] : bad) {
        const Outcome got = runExport(args);
        EXPECT_EQ(got.status, 2) << error;
        EXPECT_TRUE(contains(got.err, error)) << got.err;
    }
}

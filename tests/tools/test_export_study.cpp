// cosmophase-export sweep and solve, as whole processes.

#include "StudyPoint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Result {
    int status = 0;
    std::string out;
    std::string err;
};

std::string readFile(const std::string& path);

// Exit status, standard output and standard error. Arguments go through
// the shell: quote what must stay one argument.
Result run(const std::string& arguments)
{
    const std::string errors = ::testing::TempDir() + "export-study-stderr-" + std::to_string(::getpid());
    const std::string command = std::string(COSMOPHASE_EXPORT_BINARY) + " " + arguments + " 2>" + errors;
    FILE* pipe = ::popen(command.c_str(), "r");
    Result result;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.out.append(buffer, got);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = readFile(errors);
    std::remove(errors.c_str());
    return result;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

// Rows come in grid order with the same bytes for any thread count, and the
// shards of any split join to the whole sweep.
TEST(ExportStudy, SweepIsTheSameForEveryThreadCountAndShardSplit)
{
    const std::string args = "sweep --q 0.99999:0.9999999:7:log --T 1000,9000,40000 --reference";
    const Result one = run(args + " --threads 1");
    ASSERT_EQ(one.status, 0);
    const std::vector<std::string> rows = lines(one.out);
    ASSERT_EQ(rows.size(), 1U + 21U);
    EXPECT_EQ(rows[0], "q,one_minus_q,T,status,samples,elapsed_years,q0,xi0,density_ratio,reference_elapsed_years,"
                       "reference_q0,reference_xi0,reference_density_ratio");
    EXPECT_EQ(rows[1].substr(0, 39), "0.99999,9.99999999995449e-06,1000,ok,61");
    EXPECT_EQ(rows[2].substr(0, 34), "0.99999,9.99999999995449e-06,9000,");
    EXPECT_EQ(rows[21].substr(0, 38), "0.9999999,9.999999994736442e-08,40000,");
    for (const char* threads : {"2", "3"})
        EXPECT_EQ(run(args + " --threads " + threads).out, one.out) << threads << " threads";
    for (int n : {2, 4, 22}) {
        std::string joined;
        for (int k = 1; k <= n; ++k) {
            const std::string shard = run(args + " --shard " + std::to_string(k) + "/" + std::to_string(n)).out;
            joined += k == 1 ? shard : shard.substr(shard.find('\n') + 1);
        }
        EXPECT_EQ(joined, one.out) << n << " shards";
    }
}

// The default point is the default run as summary and accuracy know it;
// failed runs are rows with their status, not an abort.
TEST(ExportStudy, SweepRowsAreTheRunsPresentDayOrItsFailure)
{
    const auto point = cosmophase::studies::computeStudyPoint({}, true);
    ASSERT_TRUE(point.run && point.reference);
    char expected[512];
    std::snprintf(expected, sizeof expected, "0.999999426,5.739999999754275e-07,9000,ok,%zu,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g",
                  point.samples, point.run->elapsedYears, point.run->q0, point.run->xi0, point.run->densityRatio,
                  point.reference->elapsedYears, point.reference->q0, point.reference->xi0,
                  point.reference->densityRatio);
    EXPECT_EQ(lines(run("sweep --reference").out).at(1), expected);
    const std::vector<std::string> failed = lines(run("sweep --q 1.33,1.3113,1.3118296438086006,-1").out);
    ASSERT_EQ(failed.size(), 5U);
    EXPECT_EQ(failed[1], "1.33,-0.33000000000000007,9000,domain,0,,,,");
    EXPECT_NE(failed[2].find(",budget,"), std::string::npos);
    EXPECT_NE(failed[3].find(",stalled,"), std::string::npos);
    EXPECT_EQ(failed[4], "-1,2,9000,domain,0,,,,");
}

TEST(ExportStudy, BadGridsAndOptionsAreRefused)
{
    for (const char* args : {"sweep --T 1:10:5", "sweep --T 9000.5", "sweep --q 0.5:1:3:log", "sweep --q 0:1:0",
                             "sweep --shard 0/3", "sweep --shard 4/3", "sweep --threads 0", "sweep --age 1e10",
                             "sweep --q 1e-9:1e-3:5:log", "sweep --q 0.9 --one-minus-q 1e-3",
                             "sweep --one-minus-q 0:1e-3:3:log", "summary --one-minus-q 1e-3",
                             "solve --one-minus-q 1e-3 --age 1e10",
                             "samples --q 0:1:3", "samples --threads 2", "solve", "solve --age 1 --q0 0.4",
                             "solve --q 0.5 --age 1e10", "solve --age ten", "curves --shard 1/2"})
        EXPECT_EQ(run(args).status, 2) << args;
}

// The reference crosses the observed age near 1 - q = 1.27e-6; the run,
// a step function of q, steps over it at almost the same q.
TEST(ExportStudy, SolveFindsTheQOfAnAgeAndSaysWhatCannotBeReached)
{
    const Result solved = run("solve --age 13.8e9");
    ASSERT_EQ(solved.status, 0);
    const std::vector<std::string> rows = lines(solved.out);
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0], "integrator,q,one_minus_q,T,elapsed_years,q0,xi0,density_ratio");
    double q[2] = {}, age[2] = {};
    for (int i = 0; i < 2; ++i) {
        char integrator[16] = {};
        ASSERT_EQ(std::sscanf(rows[i + 1].c_str(), "%15[a-z],%lf,%*g,9000,%lf", integrator, &q[i], &age[i]), 3);
        EXPECT_STREQ(integrator, i == 0 ? "run" : "reference");
        EXPECT_NEAR(1 - q[i], 1.27e-6, 0.02e-6);
    }
    // 1e-12 in q moves the reference's age by under a thousand years.
    EXPECT_NEAR(age[1], 13.8e9, 1e3);
    const auto runBeyond = cosmophase::studies::presentDayOf(cosmophase::studies::Integrator::Run, {q[0] - 2e-12, 9000});
    ASSERT_TRUE(runBeyond);
    EXPECT_LT(age[0], 13.8e9);
    EXPECT_GT(runBeyond->elapsedYears, 13.8e9);

    EXPECT_EQ(run("solve --q0 -0.55").status, 3);
    // A target far beyond every value still reports the values reached, not
    // what is left of them after subtracting and adding the target back.
    const Result huge = run("solve --xi0 1e300");
    EXPECT_EQ(huge.status, 3);
    EXPECT_EQ(huge.err.find("reach from 0 to 0"), std::string::npos) << huge.err;
}

// SIGINT in the middle of a sweep into a file leaves that file as it was and
// nothing beside it.
TEST(ExportStudy, AnInterruptedSweepLeavesTheOldFile)
{
    const std::filesystem::path folder = ::mkdtemp((::testing::TempDir() + "sweep-XXXXXX").data());
    const std::string file = folder / "sweep.csv";
    std::ofstream(file) << "earlier";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open("/dev/null", O_WRONLY), 2);
        ::execl(COSMOPHASE_EXPORT_BINARY, COSMOPHASE_EXPORT_BINARY, "sweep", "--q", "0.9:0.999999:100000", "--threads",
                "1", "--output", file.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Rows are being computed once the temporary file is open.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool writing = false;
    while (!writing && std::chrono::steady_clock::now() < deadline) {
        std::error_code ignored;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored))
            writing |= std::filesystem::read_symlink(fd.path(), ignored).string().rfind(folder.string(), 0) == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(writing);
    ::kill(pid, SIGINT);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 130) << status;
    EXPECT_EQ(readFile(file), "earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
    std::filesystem::remove_all(folder);
}

// q reads back as typed wherever it is echoed, and the accuracy CSV names
// its run as the JSON does.
TEST(ExportStudy, QIsEchoedAsTyped)
{
    const std::pair<const char*, const char*> cases[] = {
        {"summary", "\nq                0.999999426\n"},
        {"summary --format json", "{\"q\":0.999999426,"},
        {"samples --format json --q 0.9999", "{\"q\":0.9999,"},
        {"accuracy --format json", "{\"q\":0.999999426,"},
        {"accuracy", "q,T,quantity,run,reference,error,correct_digits\n0.999999426,9000,model_time,"},
        {"sweep", "\n0.999999426,5.739999999754275e-07,9000,ok,"},
        {"sweep --format json", "{\"q\":0.999999426,\"one_minus_q\":5.739999999754275e-07,\"T\":9000,"},
        {"sweep --one-minus-q 1e-9:1e-3:7:log", "\n0.999999,1.0000000000287557e-06,9000,ok,"},
    };
    for (const auto& [args, wanted] : cases) {
        const Result result = run(args);
        EXPECT_EQ(result.status, 0) << args;
        EXPECT_NE(result.out.find(wanted), std::string::npos) << args << "\n" << result.out.substr(0, 300);
    }
}

// Whatever a path holds, every message about it is one line, for every
// subcommand; a reference that cannot reach the present day says so.
TEST(ExportStudy, MessagesStayOneLine)
{
    const std::filesystem::path folder = ::mkdtemp((::testing::TempDir() + "one-line-XXXXXX").data());
    const std::string missing = "--output '" + (folder / "no\nsuch/out.csv").string() + "'";
    const std::pair<std::string, int> cases[] = {
        {"samples " + missing, 1},
        {"curves " + missing, 1},
        {"summary " + missing, 1},
        {"trace --z2 0.1 --w0 0.2 " + missing, 1},
        {"equilibria " + missing, 1},
        {"accuracy " + missing, 1},
        {"sweep --q 0.9 " + missing, 1},
        {"solve --q0 0.4 --threads 2 " + missing, 1},
        {"summary --q '0.9\n1'", 2},
        {"accuracy --q 1.32", 0},
    };
    for (const auto& [args, status] : cases) {
        const Result result = run(args);
        EXPECT_EQ(result.status, status) << args;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << args << "\n" << result.err;
        if (status != 0) {
            EXPECT_NE(result.err.find("\\x0a"), std::string::npos) << result.err;
        }
    }
    EXPECT_NE(run("accuracy --q 1.32").err.find("reference solution"), std::string::npos);
    std::filesystem::remove_all(folder);
}

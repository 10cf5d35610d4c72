// SIGKILL at random moments of `cosmophase-export samples --output F`, over
// an existing F: F must always be the earlier file or the complete new one,
// and the folder must stay (almost) free of leftovers. COSMOPHASE_KILLS sets
// the number of kills (200 by default), COSMOPHASE_KILL_SEED replays a run.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

pid_t startExport(const fs::path& output)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(COSMOPHASE_EXPORT_BINARY, COSMOPHASE_EXPORT_BINARY, "samples", "--output", output.c_str(), nullptr);
        ::_exit(127);
    }
    return pid;
}

unsigned long long fromEnvironment(const char* name, unsigned long long fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

TEST(ExportKills, OutputIsTheEarlierOrTheCompleteFileAndNothingIsLeftBehind)
{
    const fs::path folder = ::mkdtemp((::testing::TempDir() + "export-kills-XXXXXX").data());
    const fs::path target = folder / "samples.csv";
    const std::string earlier = "index,time_years\nearlier contents\n";

    // Uninterrupted runs give the complete file and how long a run lasts:
    // the median of three, after one that warms the caches.
    std::vector<long long> runs;
    int status = 0;
    for (int run = 0; run < 4; ++run) {
        const Clock::time_point start = Clock::now();
        ::waitpid(startExport(target), &status, 0);
        runs.push_back(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::sort(runs.begin() + 1, runs.end());
    const long long runMicros = runs[2];
    const std::string complete = readFile(target);
    ASSERT_GT(complete.size(), earlier.size());

    const auto kills = fromEnvironment("COSMOPHASE_KILLS", 200);
    const auto seed = fromEnvironment("COSMOPHASE_KILL_SEED", std::random_device{}());
    std::mt19937_64 random(seed);
    // Moments from the start to a little past a typical run's end.
    std::uniform_int_distribution<long long> moment(0, runMicros + runMicros / 5);
    int kept = 0, replaced = 0, partial = 0, finished = 0, stray = 0;
    for (unsigned long long k = 0; k < kills; ++k) {
        std::ofstream(target, std::ios::binary | std::ios::trunc) << earlier;
        const pid_t pid = startExport(target);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        finished += WIFEXITED(status) && WEXITSTATUS(status) == 0;
        const std::string now = readFile(target);
        now == earlier ? ++kept : now == complete ? ++replaced : ++partial;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path() != target) {
                ++stray;
                fs::remove(entry.path());
            }
        }
    }
    fs::remove_all(folder);

    std::printf("%llu kills (seed %llu, runs of %lld us): the earlier file %d times, the new one %d times "
                "(%d runs finished first), a partial one %d times; %d stray files\n",
                kills, seed, runMicros, kept, replaced, finished, partial, stray);
    EXPECT_EQ(partial, 0);
    EXPECT_LE(stray, 2);
    // Kills did come while the tool was at work.
    EXPECT_GT(kept, 0);
}

} // namespace

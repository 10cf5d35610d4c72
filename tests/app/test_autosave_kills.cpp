// SIGKILL at random moments of the application's life while scripted edits
// keep it autosaving: what it leaves in the state folder must always be a
// complete session, one of the states the edits went through, and once the
// next launch has discarded it, nothing may be left (no temporary file of a
// write the kill cut short). The application runs on the test's display
// with its state and settings folders in a temporary folder.
//
// COSMOPHASE_KILLS sets the number of kills (100 by default),
// COSMOPHASE_KILL_SEED replays a run.

#include "AutosaveFolder.h"
#include "ScriptedEdits.h"
#include "SessionFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

unsigned long long fromEnvironment(const char* name, unsigned long long fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

// The application editing every 7 ms and autosaving 5 ms after the edits
// settle (so, with edits this fast, every 12 ms or so: about as often as a
// write takes), leaving earlier autosaves alone.
pid_t startApplication(const fs::path& root)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("XDG_STATE_HOME", (root / "state").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ::setenv("COSMOPHASE_AUTOSAVE_MS", "5", 1);
        ::setenv("COSMOPHASE_SCRIPTED_EDITS_MS", "7", 1);
        ::execl(COSMOPHASE_APP_BINARY, COSMOPHASE_APP_BINARY, "--no-restore", nullptr);
        ::_exit(127);
    }
    return pid;
}

bool anyAutosave(const fs::path& folder)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".cosmophase")
            return true;
    return false;
}

TEST(AutosaveKills, WhatAKillLeavesIsAStateTheEditsWentThroughAndNothingElse)
{
    std::set<std::string> states;
    for (int edit = 0; edit < ScriptedEdits::kDistinctStates; ++edit)
        states.insert(cosmophase::sessionText(ScriptedEdits::state(edit)));

    const fs::path root = ::mkdtemp((::testing::TempDir() + "autosave-kills-XXXXXX").data());
    const fs::path folder = root / "state" / "cosmophase";
    const auto kills = fromEnvironment("COSMOPHASE_KILLS", 100);
    const auto seed = fromEnvironment("COSMOPHASE_KILL_SEED", std::random_device{}());
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> moment(0, 400);
    int recovered = 0, strays = 0;
    std::set<std::string> seen;
    for (unsigned long long kill = 0; kill < kills; ++kill) {
        const pid_t pid = startApplication(root);
        // Killed a random while after its first autosave, which comes once
        // the window is up and editing.
        int status = 0;
        const auto start = std::chrono::steady_clock::now();
        while (!anyAutosave(folder)) {
            ASSERT_NE(::waitpid(pid, &status, WNOHANG), pid) << "the application exited with status " << status;
            ASSERT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << "no autosave";
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);

        // What the next launch would offer: the dead instance's autosave.
        cosmophase::AutosaveFolder next(folder.string());
        ASSERT_EQ(next.claim(), "");
        const std::vector<cosmophase::AutosaveFolder::Orphan> orphans = next.orphans();
        ASSERT_EQ(orphans.size(), 1u) << "kill " << kill << " (seed " << seed << ")";
        const std::string text = readFile(orphans[0].path);
        const cosmophase::SessionReadResult read = cosmophase::parseSession(text);
        EXPECT_TRUE(read.ok()) << "kill " << kill << " (seed " << seed << "): " << read.error << "\n" << text;
        EXPECT_TRUE(states.count(text)) << "kill " << kill << " (seed " << seed << "): not a state the edits made:\n"
                                        << text;
        recovered += read.ok() && states.count(text);
        seen.insert(text);
        for (const auto& entry : fs::directory_iterator(folder))
            strays += entry.path().filename().string().find(".tmp") != std::string::npos;

        // Discarded, as the offer's Discard does: nothing of it is left.
        next.discard(orphans[0]);
        std::set<std::string> left;
        for (const auto& entry : fs::directory_iterator(folder))
            left.insert(entry.path().filename());
        const std::string own = fs::path(next.sessionPath()).stem().string() + ".lock";
        EXPECT_EQ(left, std::set<std::string>{own}) << "kill " << kill;
    }
    fs::remove_all(root);
    std::printf("%llu kills (seed %llu): %d left a state the edits made (%zu different ones), "
                "%d a temporary file as well, cleared by the discard\n",
                kills, seed, recovered, seen.size(), strays);
    // The kills came at different moments of the editing.
    EXPECT_GE(seen.size(), std::min<std::size_t>(kills / 2, 4));
}

} // namespace

// Autosaves of several instances in one folder: a running one's is never
// offered, a dead one's always is, however it died.

#include "AutosaveFolder.h"
#include "BackgroundWriter.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace cosmophase;

namespace {

class AutosaveFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/cosmophase-autosave-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_folder = m_root + "/state/cosmophase"; // created on claim
    }
    void TearDown() override { std::system(("rm -rf '" + m_root + "'").c_str()); }

    std::set<std::string> entries() const
    {
        std::set<std::string> names;
        if (DIR* dir = ::opendir(m_folder.c_str())) {
            while (const dirent* entry = ::readdir(dir))
                if (entry->d_name[0] != '.')
                    names.insert(entry->d_name);
            ::closedir(dir);
        }
        return names;
    }

    // An instance in a child process that autosaves `text` (and an origin),
    // leaves a temporary file as a write killed midway would, then dies by
    // SIGKILL. Returns the path of its autosave.
    std::string deadInstance(const std::string& text, const std::string& origin)
    {
        int pipes[2];
        EXPECT_EQ(::pipe(pipes), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            AutosaveFolder folder(m_folder);
            if (!folder.claim().empty())
                std::_Exit(1);
            writeFileAtomically(folder.sessionPath(), text);
            if (!origin.empty())
                writeFileAtomically(folder.originPath(), origin + "\n");
            std::ofstream(folder.sessionPath() + ".tmpabcd1234") << "half";
            const std::string& path = folder.sessionPath();
            (void)!::write(pipes[1], path.data(), path.size());
            ::raise(SIGKILL);
        }
        ::close(pipes[1]);
        char buffer[4096];
        const ssize_t got = ::read(pipes[0], buffer, sizeof buffer);
        ::close(pipes[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status));
        return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
    }

    std::string m_root;
    std::string m_folder;
};

TEST_F(AutosaveFolderTest, LiveInstancesAreNeverOfferedDeadOnesAlwaysNewestFirst)
{
    AutosaveFolder self(m_folder);
    ASSERT_EQ(self.claim(), "");
    AutosaveFolder other(m_folder); // another running instance
    ASSERT_EQ(other.claim(), "");
    ASSERT_NE(self.sessionPath(), other.sessionPath());
    ASSERT_TRUE(writeFileAtomically(self.sessionPath(), "mine").ok);
    ASSERT_TRUE(writeFileAtomically(other.sessionPath(), "theirs").ok);
    EXPECT_TRUE(self.orphans().empty());

    const std::string older = deadInstance("older", "");
    struct timeval past[2] = {{1000, 0}, {1000, 0}};
    ::utimes(older.c_str(), past);
    const std::string newer = deadInstance("newer", "/home/u/work.cosmophase");
    const std::vector<AutosaveFolder::Orphan> orphans = self.orphans();
    ASSERT_EQ(orphans.size(), 2u);
    EXPECT_EQ(orphans[0].path, newer);
    EXPECT_EQ(orphans[0].origin, "/home/u/work.cosmophase");
    EXPECT_EQ(orphans[1].path, older);
    EXPECT_EQ(orphans[1].origin, "");
    EXPECT_EQ(orphans[1].modifiedMs, 1000000);

    // Discarding takes every file the dead instance left, and nothing else.
    for (const AutosaveFolder::Orphan& orphan : orphans)
        self.discard(orphan);
    EXPECT_TRUE(self.orphans().empty());
    const std::string selfName = self.sessionPath().substr(m_folder.size() + 1);
    const std::string otherName = other.sessionPath().substr(m_folder.size() + 1);
    const auto stem = [](const std::string& name) { return name.substr(0, name.rfind('.')); };
    EXPECT_EQ(entries(), (std::set<std::string>{selfName, stem(selfName) + ".lock", otherName,
                                                stem(otherName) + ".lock"}));

    // A running instance's files cannot be discarded.
    self.discard({other.sessionPath(), {}, 0});
    EXPECT_TRUE(entries().count(otherName));
}

TEST_F(AutosaveFolderTest, AnInstanceKilledBeforeItsFirstAutosaveLeavesNothing)
{
    int pipes[2];
    ASSERT_EQ(::pipe(pipes), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        AutosaveFolder folder(m_folder);
        folder.claim();
        std::ofstream(folder.sessionPath() + ".tmp0000abcd") << "half";
        (void)!::write(pipes[1], "x", 1);
        ::raise(SIGKILL);
    }
    ::close(pipes[1]);
    char byte;
    ASSERT_EQ(::read(pipes[0], &byte, 1), 1);
    ::close(pipes[0]);
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(entries().size(), 2u); // its lock and its temporary file

    AutosaveFolder next(m_folder);
    ASSERT_EQ(next.claim(), "");
    EXPECT_TRUE(next.orphans().empty());
    const std::string lock = next.sessionPath().substr(m_folder.size() + 1);
    EXPECT_EQ(entries(), (std::set<std::string>{lock.substr(0, lock.rfind('.')) + ".lock"}));
}

TEST_F(AutosaveFolderTest, AFolderThatCannotBeMadeIsReported)
{
    std::ofstream(m_root + "/state") << "a file where the folder would go";
    AutosaveFolder folder(m_folder);
    EXPECT_NE(folder.claim().find("cannot keep autosaves"), std::string::npos);
    EXPECT_FALSE(folder.claimed());
}

// Bursts of requests: the last one for each path wins, in the order asked,
// and a removal after a write leaves no file.
TEST_F(AutosaveFolderTest, BackgroundWritesKeepTheLatestAndTheOrder)
{
    ::mkdir((m_root + "/state").c_str(), 0700);
    const std::string a = m_root + "/state/a", b = m_root + "/state/b";
    int writes = 0;
    {
        BackgroundWriter writer([&](const std::string&, const WriteResult& result) {
            EXPECT_TRUE(result.ok) << result.error;
            ++writes;
        });
        for (int i = 0; i < 200; ++i) {
            writer.write(a, "a" + std::to_string(i));
            writer.write(b, "b" + std::to_string(i));
        }
        writer.remove(b);
        writer.wait();
        std::ifstream in(a);
        std::string text;
        in >> text;
        EXPECT_EQ(text, "a199");
        EXPECT_NE(::access(b.c_str(), F_OK), 0);
        EXPECT_LT(writes, 400); // coalesced
        writer.write(b, "last");
    } // the destructor finishes what was asked
    std::ifstream in(b);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "last");
}

} // namespace

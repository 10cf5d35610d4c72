// The atomic writer, each case both with an unnamed temporary file and with
// the named one a file system without O_TMPFILE gets: this program's own
// open() refuses O_TMPFILE as such a file system does when asked to.

#include "AtomicWrite.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <map>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::atomic<bool> refuseUnnamed{false};
std::atomic<int> unnamedOpened{0}, unnamedRefused{0};
std::atomic<bool> dieAtFsync{false};

} // namespace

extern "C" int open(const char* path, int flags, ...)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list args;
        va_start(args, flags);
        mode = va_arg(args, mode_t);
        va_end(args);
    }
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        if (refuseUnnamed) {
            ++unnamedRefused;
            errno = EOPNOTSUPP;
            return -1;
        }
        ++unnamedOpened;
    }
    return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

// A process that dies with its data written but not yet renamed into place.
extern "C" int fsync(int fd)
{
    if (dieAtFsync)
        ::_exit(3);
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writePlain(const fs::path& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

enum class Temporary { Unnamed, Named };

class AtomicWrite : public ::testing::TestWithParam<Temporary> {
protected:
    fs::path m_dir = ::mkdtemp((::testing::TempDir() + "atomic-write-XXXXXX").data());

    void SetUp() override
    {
        refuseUnnamed = GetParam() == Temporary::Named;
        unnamedOpened = unnamedRefused = 0;
    }
    void TearDown() override
    {
        refuseUnnamed = false;
        fs::remove_all(m_dir);
    }

    std::string write(const fs::path& path, const std::string& contents)
    {
        const cosmophase::WriteResult result = cosmophase::writeFileAtomically(path, contents);
        EXPECT_EQ(result.ok, result.error.empty());
        return result.ok ? "ok" : result.error;
    }
    // Every entry under the folder, a link shown with its target: whatever a
    // write leaves behind shows up here.
    std::map<std::string, std::string> entries() const
    {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir)) {
            const std::string name = entry.path().lexically_relative(m_dir);
            const fs::file_type type = entry.symlink_status().type();
            found[name] = type == fs::file_type::symlink     ? "-> " + fs::read_symlink(entry.path()).string()
                          : type == fs::file_type::directory ? "folder"
                                                             : readFile(entry.path());
        }
        return found;
    }
    // The temporary file really was of the kind this case is about.
    void expectTemporaryOfTheKind() const
    {
        const bool named = GetParam() == Temporary::Named;
        EXPECT_EQ(unnamedOpened > 0, !named);
        EXPECT_EQ(unnamedRefused > 0, named);
    }
};

TEST_P(AtomicWrite, NewAndReplacedFilesKeepTheirPermissions)
{
    const mode_t mask = ::umask(027);
    EXPECT_EQ(write(m_dir / "new", "first"), "ok");
    writePlain(m_dir / "old", "earlier");
    fs::permissions(m_dir / "old", fs::perms(0604));
    EXPECT_EQ(write(m_dir / "old", "second"), "ok");
    ::umask(mask);
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"new", "first"}, {"old", "second"}}));
    EXPECT_EQ(fs::status(m_dir / "new").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(m_dir / "old").permissions(), fs::perms(0604));
}

// Links absolute and relative, chained and across folders, one dangling:
// each link stays, the file at the end of its chain is written, and the
// temporary file lived beside that file (a rename from another folder could
// cross file systems, and the links' folders hold no leftovers).
TEST_P(AtomicWrite, LinksStayAndTheFileTheyNameIsWritten)
{
    fs::create_directories(m_dir / "links");
    fs::create_directories(m_dir / "data");
    writePlain(m_dir / "data/file", "earlier");
    fs::create_symlink(m_dir / "data/file", m_dir / "absolute");
    fs::create_symlink("../chain", m_dir / "links/relative");
    fs::create_symlink("data/step", m_dir / "chain");
    fs::create_symlink("file", m_dir / "data/step");
    fs::create_symlink("data/created", m_dir / "dangling");

    EXPECT_EQ(write(m_dir / "absolute", "one"), "ok");
    EXPECT_EQ(readFile(m_dir / "data/file"), "one");
    EXPECT_EQ(write(m_dir / "links/relative", "two"), "ok");
    EXPECT_EQ(write(m_dir / "dangling", "three"), "ok");
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"absolute", "-> " + (m_dir / "data/file").string()},
                                                             {"chain", "-> data/step"},
                                                             {"dangling", "-> data/created"},
                                                             {"data", "folder"},
                                                             {"data/created", "three"},
                                                             {"data/file", "two"},
                                                             {"data/step", "-> file"},
                                                             {"links", "folder"},
                                                             {"links/relative", "-> ../chain"}}));
}

// A chain that never ends, or ends at a folder or a device, is refused with
// the path the caller gave and the reason, and everything stays as it was.
TEST_P(AtomicWrite, LinksToWhatCannotBeWrittenAreRefused)
{
    fs::create_directories(m_dir / "folder");
    fs::create_symlink("loop2", m_dir / "loop1");
    fs::create_symlink("loop1", m_dir / "loop2");
    fs::create_symlink("folder", m_dir / "to-folder");
    fs::create_symlink("/dev/null", m_dir / "to-device");
    const auto before = entries();
    EXPECT_EQ(write(m_dir / "loop1", "x"), (m_dir / "loop1").string() + ": cannot write: Too many levels of symbolic links");
    EXPECT_EQ(write(m_dir / "to-folder", "x"), (m_dir / "to-folder").string() + ": cannot write: Is a directory");
    EXPECT_EQ(write(m_dir / "to-device", "x"), (m_dir / "to-device").string() + ": cannot write: not a regular file");
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// Dying with the data written but not renamed: the old file stays and only
// the named temporary file is left behind (the kill test in tests/tools does
// the same with SIGKILL at random moments).
TEST_P(AtomicWrite, AProcessThatDiesBeforeTheRenameLeavesTheOldFile)
{
    writePlain(m_dir / "file", "earlier");
    EXPECT_EXIT(
        {
            dieAtFsync = true;
            cosmophase::writeFileAtomically(m_dir / "file", std::string(1 << 20, 'n'));
        },
        ::testing::ExitedWithCode(3), "");
    const auto left = entries();
    EXPECT_EQ(left.at("file"), "earlier");
    EXPECT_EQ(left.size(), GetParam() == Temporary::Named ? 2u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Temporary, AtomicWrite, ::testing::Values(Temporary::Unnamed, Temporary::Named),
                         [](const auto& info) { return info.param == Temporary::Named ? "Named" : "Unnamed"; });

} // namespace

// The atomic writer, every case with each kind of temporary file: unnamed,
// named as on a file system without O_TMPFILE, and unnamed but impossible to
// link in, so written again under a name. This program's own open(),
// linkat(), fsync() and rename() play those file systems, a folder that
// cannot be opened and a process that dies, when asked to.

#include "AtomicWrite.h"

#include <gtest/gtest.h>

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
enum class Temporary { Unnamed, Named, Unlinkable };
bool refuseUnnamed = false, refuseLink = false, dieAtFsync = false, dieAtRename = false;
int failFolderOpen = 0, failFolderSync = 0; // the error to fail with, or 0
int unnamedOpened = 0, unnamedRefused = 0, linksRefused = 0, folderSyncs = 0;
} // namespace

extern "C" int open(const char* path, int flags, ...)
{
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
    va_list args;
    va_start(args, flags);
    const mode_t mode = unnamed || (flags & O_CREAT) != 0 ? va_arg(args, mode_t) : 0;
    va_end(args);
    if (unnamed && refuseUnnamed)
        return ++unnamedRefused, errno = EOPNOTSUPP, -1;
    if (!unnamed && (flags & O_DIRECTORY) != 0 && failFolderOpen != 0)
        return errno = failFolderOpen, -1;
    unnamedOpened += unnamed;
    return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

extern "C" int linkat(int fromDir, const char* from, int toDir, const char* to, int flags)
{
    if (refuseLink)
        return ++linksRefused, errno = EPERM, -1;
    return static_cast<int>(::syscall(SYS_linkat, fromDir, from, toDir, to, flags));
}

// A process that dies with its data written but not yet renamed into place;
// the syncs of a folder are counted, and fail when asked to.
extern "C" int fsync(int fd)
{
    if (dieAtFsync)
        ::_exit(3);
    struct stat entry {};
    if (::fstat(fd, &entry) == 0 && S_ISDIR(entry.st_mode)) {
        ++folderSyncs;
        if (failFolderSync != 0)
            return errno = failFolderSync, -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

// A process that dies with its temporary file named, just before the rename.
extern "C" int rename(const char* from, const char* to)
{
    if (dieAtRename)
        ::_exit(3);
    return static_cast<int>(::syscall(SYS_renameat, AT_FDCWD, from, AT_FDCWD, to));
}

namespace {

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class AtomicWrite : public ::testing::TestWithParam<Temporary> {
protected:
    fs::path m_dir = ::mkdtemp((::testing::TempDir() + "atomic-write-XXXXXX").data());

    void SetUp() override
    {
        refuseUnnamed = GetParam() == Temporary::Named, refuseLink = GetParam() == Temporary::Unlinkable;
        failFolderOpen = failFolderSync = 0, unnamedOpened = unnamedRefused = linksRefused = folderSyncs = 0;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string write(const char* name, const std::string& contents)
    {
        const cosmophase::WriteResult result = cosmophase::writeFileAtomically(m_dir / name, contents);
        const std::string& said = result.ok ? result.warning : result.error;
        return said.empty() ? "ok" : said.substr(said.find(name));
    }
    void plain(const char* name, const std::string& contents) { std::ofstream(m_dir / name) << contents; }
    // Everything under the folder, links with their targets: whatever a write
    // leaves behind shows up here.
    std::map<std::string, std::string> entries() const
    {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(m_dir)) {
            const fs::file_type type = entry.symlink_status().type();
            found[entry.path().lexically_relative(m_dir)] =
                type == fs::file_type::symlink     ? "-> " + fs::read_symlink(entry.path()).string()
                : type == fs::file_type::directory ? "folder"
                                                   : readFile(entry.path());
        }
        return found;
    }
    // The temporary file really was of the kind this case is about.
    void expectTemporaryOfTheKind() const
    {
        EXPECT_EQ(unnamedOpened > 0, GetParam() != Temporary::Named);
        EXPECT_EQ(unnamedRefused > 0, GetParam() == Temporary::Named);
        EXPECT_EQ(linksRefused > 0, GetParam() == Temporary::Unlinkable);
    }
};

TEST_P(AtomicWrite, NewAndReplacedFilesKeepTheirPermissions)
{
    const mode_t mask = ::umask(027);
    EXPECT_EQ(write("new", "first"), "ok");
    plain("old", "earlier");
    fs::permissions(m_dir / "old", fs::perms(0604));
    EXPECT_EQ(write("old", "second"), "ok");
    ::umask(mask);
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"new", "first"}, {"old", "second"}}));
    EXPECT_EQ(fs::status(m_dir / "new").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(m_dir / "old").permissions(), fs::perms(0604));
}

// Absolute, relative, chained across folders, dangling: each link stays, the
// file at the end of its chain is written, and the temporary file lived only
// beside that file (the links' folders hold no leftovers).
TEST_P(AtomicWrite, LinksStayAndTheFileTheyNameIsWritten)
{
    fs::create_directories(m_dir / "links");
    fs::create_directories(m_dir / "data");
    plain("data/file", "earlier");
    fs::create_symlink(m_dir / "data/file", m_dir / "absolute");
    fs::create_symlink("../chain", m_dir / "links/relative");
    fs::create_symlink("data/step", m_dir / "chain");
    fs::create_symlink("file", m_dir / "data/step");
    fs::create_symlink("data/created", m_dir / "dangling");

    EXPECT_EQ(write("absolute", "one"), "ok");
    EXPECT_EQ(readFile(m_dir / "data/file"), "one"); // before the chain overwrites it
    EXPECT_EQ(write("links/relative", "two"), "ok");
    EXPECT_EQ(write("dangling", "three"), "ok");
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{
                             {"absolute", "-> " + (m_dir / "data/file").string()}, {"chain", "-> data/step"},
                             {"dangling", "-> data/created"}, {"data", "folder"}, {"data/created", "three"},
                             {"data/file", "two"}, {"data/step", "-> file"}, {"links", "folder"},
                             {"links/relative", "-> ../chain"}}));
}

// A chain that never ends, or ends at a folder or a device: refused with the
// path the caller gave and the reason, and nothing changes.
TEST_P(AtomicWrite, LinksToWhatCannotBeWrittenAreRefused)
{
    fs::create_directories(m_dir / "folder");
    fs::create_symlink("loop2", m_dir / "loop1");
    fs::create_symlink("loop1", m_dir / "loop2");
    fs::create_symlink("folder", m_dir / "to-folder");
    fs::create_symlink("/dev/null", m_dir / "to-device");
    const auto before = entries();
    EXPECT_EQ(write("loop1", "x"), "loop1: cannot write: Too many levels of symbolic links");
    EXPECT_EQ(write("to-folder", "x"), "to-folder: cannot write: Is a directory");
    EXPECT_EQ(write("to-device", "x"), "to-device: cannot write: not a regular file");
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// Dying before the rename leaves the old file. Only a temporary file that
// had a name stays behind (with the new contents), and the next write
// to the same file removes it; files that merely look alike stay
// (tests/tools kills the export tool at random moments too).
TEST_P(AtomicWrite, AProcessThatDiesBeforeTheRenameLeavesTheOldFileAndTheNextWriteClearsUp)
{
    const std::string contents(1 << 20, 'n');
    const std::map<std::string, std::string> lookalikes{
        {"file.tmp", "a"}, {"file.tmpabc1234", "b"}, {"file.tmpABCD1234", "c"}, {"other.tmpabcd1234", "d"}};
    for (const bool atRename : {false, true}) {
        SCOPED_TRACE(atRename ? "killed at the rename" : "killed at the data's sync");
        plain("file", "earlier");
        for (const auto& [name, text] : lookalikes)
            plain(name.c_str(), text);
        EXPECT_EXIT(((atRename ? dieAtRename : dieAtFsync) = true, write("file", contents)),
                    ::testing::ExitedWithCode(3), "");
        auto left = entries();
        EXPECT_EQ(left["file"], "earlier");
        const bool named = atRename || GetParam() == Temporary::Named;
        ASSERT_EQ(left.size(), lookalikes.size() + (named ? 2 : 1));
        for (const auto& [name, text] : left)
            EXPECT_TRUE(name == "file" || lookalikes.count(name) != 0 || text == contents) << name;

        EXPECT_EQ(write("file", "next"), "ok");
        auto expected = lookalikes;
        expected["file"] = "next";
        EXPECT_EQ(entries(), expected);
        fs::remove_all(m_dir), fs::create_directory(m_dir);
    }
}

// The clean-up leaves a live writer's temporary file alone, named or not.
TEST_P(AtomicWrite, AWriteBesideAnUnfinishedOneLeavesItsTemporaryFile)
{
    cosmophase::AtomicFileWriter slow(m_dir / "file");
    ASSERT_TRUE(slow.open().ok);
    EXPECT_TRUE(slow.append("slow"));
    EXPECT_EQ(write("file", "quick"), "ok");
    EXPECT_EQ(readFile(m_dir / "file"), "quick");
    EXPECT_TRUE(slow.commit().ok);
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"file", "slow"}}));
}

// The folder is synced once the file is renamed into it. If it cannot be,
// because the sync fails or the folder cannot even be opened for it (writable
// but not readable), the file has still been replaced: saved, with a warning.
TEST_P(AtomicWrite, TheFolderIsSyncedAfterTheRenameOrTheSaveWarns)
{
    plain("file", "earlier");
    EXPECT_EQ(write("file", "first"), "ok");
    EXPECT_EQ(folderSyncs, 1);
    for (const auto& [failing, reason] : {std::pair{&failFolderSync, "Input/output error"},
                                          std::pair{&failFolderOpen, "Permission denied"}}) {
        *failing = failing == &failFolderSync ? EIO : EACCES;
        EXPECT_EQ(write("file", reason), std::string("file: saved, but its folder cannot be synced (") + reason +
                                             "), so a power cut may still bring back the earlier file");
        *failing = 0;
        EXPECT_EQ(readFile(m_dir / "file"), reason);
    }
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"file", "Permission denied"}}));
}

// A write that leaves the folder's sync for later has replaced the file
// when it returns, without the sync; the sync comes when asked, with the
// same warning when it fails.
TEST_P(AtomicWrite, AFolderSyncLeftForLaterIsDoneWhenAsked)
{
    plain("file", "earlier");
    const std::string path = m_dir / "file";
    const cosmophase::WriteResult written =
        cosmophase::writeFileAtomically(path, "new", cosmophase::FolderSync::Later);
    EXPECT_TRUE(written.ok && written.warning.empty());
    EXPECT_EQ(folderSyncs, 0);
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"file", "new"}}));
    EXPECT_EQ(cosmophase::syncFolderOf(path).warning, "");
    EXPECT_EQ(folderSyncs, 1);
    failFolderSync = EIO;
    const cosmophase::WriteResult late = cosmophase::syncFolderOf(path);
    EXPECT_TRUE(late.ok);
    EXPECT_EQ(late.warning, path + ": saved, but its folder cannot be synced (Input/output error), so a power cut "
                                   "may still bring back the earlier file");
}

// Pieces appended over time land whole on commit, in any kind of temporary
// file (an unlinkable one is copied to a named one); a writer dropped before
// its commit leaves the old file and nothing else.
TEST_P(AtomicWrite, StreamedPiecesReplaceTheFileOnlyOnCommit)
{
    plain("file", "earlier");
    const std::string piece(50000, 'p');
    {
        cosmophase::AtomicFileWriter abandoned(m_dir / "file");
        ASSERT_TRUE(abandoned.open().ok);
        EXPECT_TRUE(abandoned.append(piece));
    }
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"file", "earlier"}}));
    cosmophase::AtomicFileWriter writer(m_dir / "file");
    ASSERT_TRUE(writer.open().ok);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(writer.append(piece));
    EXPECT_EQ(readFile(m_dir / "file"), "earlier");
    EXPECT_TRUE(writer.commit().ok);
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"file", piece + piece + piece}}));
}

// A length filled in after the rest, as a movie's index is, lands where it
// was sought to and leaves the rest as it was, in any kind of temporary file.
TEST_P(AtomicWrite, APieceWrittenBackLandsWhereSought)
{
    cosmophase::AtomicFileWriter writer(m_dir / "movie");
    ASSERT_TRUE(writer.open().ok);
    EXPECT_TRUE(writer.append("size=????;frames"));
    EXPECT_TRUE(writer.seek(5));
    EXPECT_TRUE(writer.append("0016"));
    EXPECT_TRUE(writer.commit().ok);
    expectTemporaryOfTheKind();
    EXPECT_EQ(entries(), (std::map<std::string, std::string>{{"movie", "size=0016;frames"}}));
}

INSTANTIATE_TEST_SUITE_P(Temporary, AtomicWrite,
                         ::testing::Values(Temporary::Unnamed, Temporary::Named, Temporary::Unlinkable),
                         [](const auto& info) {
                             return std::string(info.param == Temporary::Unnamed ? "Unnamed"
                                                : info.param == Temporary::Named ? "Named"
                                                                                 : "Unlinkable");
                         });

} // namespace

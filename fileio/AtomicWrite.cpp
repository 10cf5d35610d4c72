#include "AtomicWrite.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cosmophase {

namespace {

WriteResult failure(const std::string& path, const char* what, int error)
{
    return {false, path + ": " + what + ": " + std::strerror(error), {}};
}

// Temporary files are named `target` + ".tmp" + eight of these.
constexpr char kNameChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::string_view kTemporaryInfix = ".tmp";
constexpr std::size_t kRandomChars = 8;

// "dir/name" -> "dir/", "name" -> "./".
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// "dir/name" -> "name".
std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isTemporaryName(std::string_view entry, const std::string& targetName)
{
    const std::size_t stem = targetName.size() + kTemporaryInfix.size();
    return entry.size() == stem + kRandomChars && entry.substr(0, targetName.size()) == targetName &&
           entry.substr(targetName.size(), kTemporaryInfix.size()) == kTemporaryInfix &&
           entry.find_first_not_of(kNameChars, stem) == std::string_view::npos;
}

// A writer holds an exclusive lock on its temporary file for as long as the
// file exists. One named from the start is locked just after it is created,
// so the writer then checks that the name is still its own (a clean-up may
// have taken it in between): false if not. True also where locks are not
// supported, as a clean-up cannot take anything there either.
bool lockAsWriter(int fd, const char* name)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno != EWOULDBLOCK;
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(name, &named) == 0 && opened.st_ino == named.st_ino &&
           opened.st_dev == named.st_dev;
}

// A process killed between naming its temporary file and renaming it leaves
// the file behind (nothing can link an unnamed file over an existing one).
// Such a file is no longer locked, so the next write to the same target
// removes it; a live writer's file stays.
void removeStrays(const std::string& target)
{
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    DIR* entries = ::fdopendir(folder);
    if (entries == nullptr) {
        ::close(folder);
        return;
    }
    const std::string targetName = nameOf(target);
    while (const dirent* entry = ::readdir(entries)) {
        if (!isTemporaryName(entry->d_name, targetName))
            continue;
        const int fd = ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat opened {}, named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
            ::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            opened.st_ino == named.st_ino && opened.st_dev == named.st_dev)
            ::unlinkat(folder, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(entries);
}

// Follows `path` through any chain of symbolic links to the file the last
// one names, which need not exist yet: a write replaces that file and leaves
// the links alone. Returns 0 or the reason the chain cannot be followed.
int resolveLinks(std::string& path)
{
    for (int hops = 0;; ++hops) {
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0)
            return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(entry.st_mode))
            return 0;
        if (hops == 40) // the kernel's own limit
            return ELOOP;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0)
            return errno;
        if (length == 0 || static_cast<std::size_t>(length) == sizeof target)
            return length == 0 ? ENOENT : ENAMETOOLONG;
        // A relative link is relative to the folder it sits in.
        path = (target[0] == '/' ? std::string() : folderOf(path)) + std::string(target, length);
    }
}

// Calls make(name) with fresh names beside `target` until one is free
// (make fails with EEXIST otherwise). Returns 0 or the reason it failed.
template <typename Make> int withFreshName(const std::string& target, std::string& name, Make make)
{
    std::mt19937_64 random(std::random_device{}() ^
                           static_cast<std::uint64_t>(
                               std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kNameChars - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target;
        name += kTemporaryInfix;
        for (std::size_t i = 0; i < kRandomChars; ++i)
            name += kNameChars[pick(random)];
        if (make(name.c_str()))
            return 0;
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    name.clear();
    return error;
}

int writeAll(int fd, std::string_view contents)
{
    const char* data = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return ENOSPC;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

int copyContents(int from, int to)
{
    char buffer[1 << 16];
    for (off_t offset = 0;;) {
        const ssize_t got = ::pread(from, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        if (const int error = writeAll(to, std::string_view(buffer, static_cast<std::size_t>(got))))
            return error;
        offset += got;
    }
}

// The new contents until they replace the target, in the target's folder (so
// that the rename stays on one file system). Where the file system allows it
// the file has no name while it is written, so a process killed meanwhile
// leaves nothing behind; it is named only just before the rename. Elsewhere
// it is a named file from the start. Either way open() applies the umask.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string target)
        : m_target(std::move(target))
    {
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_name.empty())
            ::unlink(m_name.c_str());
    }

    int descriptor() const { return m_fd; }

    int create()
    {
        m_fd = ::open(folderOf(m_target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_EX | LOCK_NB); // so the name it gets later is locked from the start
            return 0;
        }
        // Refused (a file system or kernel without O_TMPFILE): a named file.
        return withFreshName(m_target, m_name, [this](const char* name) { return openNamed(name); });
    }

    // Links the unnamed file into the folder under a fresh name (via /proc,
    // or without it the descriptor itself, which newer kernels allow).
    int giveName()
    {
        if (!m_name.empty())
            return 0;
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        return withFreshName(m_target, m_name, [&](const char* name) {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW) == 0 ||
                   (errno == ENOENT && ::linkat(m_fd, "", AT_FDCWD, name, AT_EMPTY_PATH) == 0);
        });
    }

    // Moves what the unnamed file holds into a new, named one, for file
    // systems that create unnamed files but refuse to link them in.
    int copyToNamed()
    {
        const int unnamed = m_fd;
        m_fd = -1;
        const int error =
            withFreshName(m_target, m_name, [this](const char* name) { return openNamed(name); });
        const int copied = error != 0 ? error : copyContents(unnamed, m_fd);
        ::close(unnamed);
        return copied;
    }

    // Some file systems report deferred write errors only here.
    int close()
    {
        const int closed = ::close(m_fd);
        m_fd = -1;
        return closed == 0 ? 0 : errno;
    }

    int renameOverTarget()
    {
        if (std::rename(m_name.c_str(), m_target.c_str()) != 0)
            return errno;
        m_name.clear();
        return 0;
    }

private:
    bool openNamed(const char* name)
    {
        m_fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0)
            return false;
        if (lockAsWriter(m_fd, name))
            return true;
        // Removed by a clean-up before it was locked: another name.
        ::close(m_fd);
        m_fd = -1;
        errno = EEXIST;
        return false;
    }

    std::string m_target;
    std::string m_name; // empty while the file has none
    int m_fd = -1;
};

// The rename lives in the folder's entries: without this a power cut could
// still bring back the old file.
int syncFolder(const std::string& target)
{
    // A folder that may be written but not read cannot be opened to sync it:
    // as undurable as one whose sync fails.
    const int fd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // EINVAL: a file system that cannot sync folders.
    return error == EINVAL ? 0 : error;
}

// The new file is in place either way; only its durability is in doubt.
WriteResult folderSynced(const std::string& path, const std::string& target)
{
    if (const int error = syncFolder(target))
        return {true, {}, path + ": saved, but its folder cannot be synced (" + std::strerror(error)
                              + "), so a power cut may still bring back the earlier file"};
    return {true, {}, {}};
}

} // namespace

struct AtomicFileWriter::Pending {
    explicit Pending(std::string target)
        : temporary(std::move(target))
    {
    }
    TemporaryFile temporary;
    struct stat existing {};
    bool targetExists = false;
};

AtomicFileWriter::AtomicFileWriter(std::string path)
    : m_path(std::move(path))
{
}

AtomicFileWriter::~AtomicFileWriter() = default;

WriteResult AtomicFileWriter::open()
{
    if (m_path.empty())
        return failure(m_path, "cannot write", ENOENT);

    std::string target = m_path;
    if (const int error = resolveLinks(target))
        return failure(m_path, "cannot write", error);

    auto pending = std::make_unique<Pending>(target);
    // Renaming over a device or a folder would not write to it but replace
    // it, so only regular files (or nothing) may sit at the target.
    if (::stat(target.c_str(), &pending->existing) == 0) {
        if (S_ISDIR(pending->existing.st_mode))
            return failure(m_path, "cannot write", EISDIR);
        if (!S_ISREG(pending->existing.st_mode))
            return {false, m_path + ": cannot write: not a regular file", {}};
        pending->targetExists = true;
    } else if (errno != ENOENT) {
        return failure(m_path, "cannot write", errno);
    }
    removeStrays(target);
    if (const int error = pending->temporary.create())
        return failure(m_path, "cannot create a temporary file", error);
    m_target = std::move(target);
    m_pending = std::move(pending);
    return {true, {}, {}};
}

bool AtomicFileWriter::append(std::string_view data)
{
    if (!m_pending || m_error != 0)
        return false;
    m_error = writeAll(m_pending->temporary.descriptor(), data);
    return m_error == 0;
}

bool AtomicFileWriter::seek(std::uint64_t offset)
{
    if (!m_pending || m_error != 0)
        return false;
    if (::lseek(m_pending->temporary.descriptor(), static_cast<off_t>(offset), SEEK_SET) < 0)
        m_error = errno;
    return m_error == 0;
}

WriteResult AtomicFileWriter::commit(FolderSync folderSync)
{
    if (!m_pending)
        return failure(m_path, "cannot write", EBADF);
    // Whatever happens next, the temporary file goes with `pending`.
    const std::unique_ptr<Pending> pending = std::move(m_pending);
    TemporaryFile& temporary = pending->temporary;
    int error = m_error;
    if (error == 0 && pending->targetExists && ::fchmod(temporary.descriptor(), pending->existing.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && ::fsync(temporary.descriptor()) != 0)
        error = errno;
    if (error != 0)
        return failure(m_path, "cannot write", error);
    // Some file systems create unnamed files but refuse to link them in.
    if (temporary.giveName() != 0) {
        if ((error = temporary.copyToNamed()) != 0)
            return failure(m_path, "cannot create a temporary file", error);
        if (pending->targetExists && ::fchmod(temporary.descriptor(), pending->existing.st_mode & 07777) != 0)
            return failure(m_path, "cannot write", errno);
        if (::fsync(temporary.descriptor()) != 0)
            return failure(m_path, "cannot write", errno);
    }
    if ((error = temporary.close()) != 0)
        return failure(m_path, "cannot write", error);
    if ((error = temporary.renameOverTarget()) != 0)
        return failure(m_path, "cannot replace", error);
    return folderSync == FolderSync::Now ? folderSynced(m_path, m_target) : WriteResult{true, {}, {}};
}

WriteResult writeFileAtomically(const std::string& path, const std::string& contents, FolderSync folderSync)
{
    AtomicFileWriter writer(path);
    if (WriteResult opened = writer.open(); !opened.ok)
        return opened;
    writer.append(contents);
    return writer.commit(folderSync);
}

WriteResult syncFolderOf(const std::string& path)
{
    std::string target = path;
    resolveLinks(target); // a chain that cannot be followed now has no folder to sync
    return folderSynced(path, target);
}

void removeStrayTemporaries(const std::string& path)
{
    std::string target = path;
    if (resolveLinks(target) == 0)
        removeStrays(target);
}

} // namespace cosmophase

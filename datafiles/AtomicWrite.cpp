#include "AtomicWrite.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cosmophase {

namespace {

WriteResult failure(const std::string& path, const char* what, int error)
{
    return {false, path + ": " + what + ": " + std::strerror(error), {}};
}

// "dir/name" -> "dir/", "name" -> "./".
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
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
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937_64 random(std::random_device{}() ^
                           static_cast<std::uint64_t>(
                               std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".tmp";
        for (int i = 0; i < 8; ++i)
            name += kChars[pick(random)];
        if (make(name.c_str()))
            return 0;
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    name.clear();
    return error;
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
        m_fd = ::open(folderOf(m_target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // Refused (a file system or kernel without O_TMPFILE): a named file.
        return m_fd >= 0 ? 0 : createNamed();
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

    // Gives up the unnamed file for a new, empty, named one.
    int createNamed()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        return withFreshName(m_target, m_name, [this](const char* name) {
            m_fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return m_fd >= 0;
        });
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
    std::string m_target;
    std::string m_name; // empty while the file has none
    int m_fd = -1;
};

int writeAll(int fd, const std::string& contents)
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

// The whole contents, with the replaced file's permissions, on disk.
int fill(int fd, const std::string& contents, const struct stat* replaced)
{
    if (const int error = writeAll(fd, contents))
        return error;
    if (replaced != nullptr && ::fchmod(fd, replaced->st_mode & 07777) != 0)
        return errno;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// The rename lives in the folder's entries: without this a power cut could
// still bring back the old file.
int syncFolder(const std::string& target)
{
    const int fd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that may be written but not read cannot be opened to sync it.
    if (fd < 0)
        return 0;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // EINVAL: a file system that cannot sync folders.
    return error == EINVAL ? 0 : error;
}

} // namespace

WriteResult writeFileAtomically(const std::string& path, const std::string& contents)
{
    if (path.empty())
        return failure(path, "cannot write", ENOENT);

    std::string target = path;
    if (const int error = resolveLinks(target))
        return failure(path, "cannot write", error);

    // Renaming over a device or a folder would not write to it but replace
    // it, so only regular files (or nothing) may sit at the target.
    struct stat existing {};
    bool targetExists = false;
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return failure(path, "cannot write", EISDIR);
        if (!S_ISREG(existing.st_mode))
            return {false, path + ": cannot write: not a regular file", {}};
        targetExists = true;
    } else if (errno != ENOENT) {
        return failure(path, "cannot write", errno);
    }

    TemporaryFile temporary(target);
    if (const int error = temporary.create())
        return failure(path, "cannot create a temporary file", error);

    const struct stat* replaced = targetExists ? &existing : nullptr;
    if (const int error = fill(temporary.descriptor(), contents, replaced))
        return failure(path, "cannot write", error);
    // Some file systems create unnamed files but refuse to link them in.
    if (temporary.giveName() != 0) {
        if (const int error = temporary.createNamed())
            return failure(path, "cannot create a temporary file", error);
        if (const int error = fill(temporary.descriptor(), contents, replaced))
            return failure(path, "cannot write", error);
    }
    if (const int error = temporary.close())
        return failure(path, "cannot write", error);
    if (const int error = temporary.renameOverTarget())
        return failure(path, "cannot replace", error);
    // The new file is in place either way; only its durability is in doubt.
    if (const int error = syncFolder(target))
        return {true, {}, path + ": saved, but its folder cannot be synced (" + std::strerror(error)
                              + "), so a power cut may still bring back the earlier file"};
    return {true, {}, {}};
}

} // namespace cosmophase

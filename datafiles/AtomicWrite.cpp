#include "AtomicWrite.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace cosmophase {

namespace {

WriteResult failure(const std::string& path, const char* what, int error)
{
    return {false, path + ": " + what + ": " + std::strerror(error)};
}

// A new file next to `path` (so the final rename stays on one file system),
// created exclusively. open() applies the umask, unlike mkstemp's 0600.
int createTemporary(const std::string& path, std::string& tempPath)
{
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937_64 random(std::random_device{}() ^
                           static_cast<std::uint64_t>(
                               std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".tmp";
        for (int i = 0; i < 8; ++i)
            tempPath += kChars[pick(random)];
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

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

} // namespace

WriteResult writeFileAtomically(const std::string& path, const std::string& contents)
{
    if (path.empty())
        return failure(path, "cannot write", ENOENT);

    // Renaming over a device or a folder would not write to it but replace
    // it, so only regular files (or nothing) may sit at the target.
    struct stat target {};
    bool targetExists = false;
    if (::stat(path.c_str(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            return failure(path, "cannot write", EISDIR);
        if (!S_ISREG(target.st_mode))
            return {false, path + ": cannot write: not a regular file"};
        targetExists = true;
    } else if (errno != ENOENT) {
        return failure(path, "cannot write", errno);
    }

    std::string tempPath;
    const int fd = createTemporary(path, tempPath);
    if (fd < 0)
        return failure(path, "cannot create a temporary file", errno);

    const auto abandon = [&](const char* what, int error) {
        ::unlink(tempPath.c_str());
        return failure(path, what, error);
    };

    int error = writeAll(fd, contents);
    if (error == 0 && targetExists && ::fchmod(fd, target.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (error != 0) {
        ::close(fd);
        return abandon("cannot write", error);
    }
    // Some file systems report deferred write errors only here.
    if (::close(fd) != 0)
        return abandon("cannot write", errno);
    if (std::rename(tempPath.c_str(), path.c_str()) != 0)
        return abandon("cannot replace", errno);
    return {true, {}};
}

} // namespace cosmophase

#include "AutosaveFolder.h"

#include "AtomicWrite.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace cosmophase {

namespace {

constexpr const char* kPrefix = "autosave-";
constexpr const char* kSessionSuffix = ".cosmophase";
constexpr const char* kOriginSuffix = ".origin";
constexpr const char* kLockSuffix = ".lock";

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Like mkdir -p; private to the user, as the autosaves hold their work.
int makeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        if (slash == std::string::npos)
            break;
    }
    struct stat made {};
    if (::stat(folder.c_str(), &made) != 0)
        return errno;
    return S_ISDIR(made.st_mode) ? 0 : ENOTDIR;
}

// The lock of a stem whose instance may have died: a descriptor holding it,
// -1 if the instance is alive, or -2 if there is no lock file at all.
int takeLock(const std::string& lockPath)
{
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno == ENOENT ? -2 : -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string firstLine(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);
    return line;
}

} // namespace

AutosaveFolder::AutosaveFolder(std::string folder)
    : m_folder(std::move(folder))
{
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
}

AutosaveFolder::~AutosaveFolder()
{
    if (m_lock < 0)
        return;
    ::unlink(m_lockPath.c_str());
    ::close(m_lock);
}

std::string AutosaveFolder::claim()
{
    if (m_lock >= 0)
        return {};
    if (const int error = makeFolders(m_folder))
        return m_folder + ": cannot keep autosaves here: " + std::strerror(error);
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    // The start time tells this instance from an earlier one that had the
    // same process id (and, a millisecond on, from another claim in it).
    std::string stem;
    int fd = -1;
    for (long long ms = now.count(); fd < 0; ++ms) {
        stem = m_folder + '/' + kPrefix + std::to_string(::getpid()) + '-' + std::to_string(ms);
        m_lockPath = stem + kLockSuffix;
        fd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST)
            return m_lockPath + ": cannot create: " + std::strerror(errno);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(m_lockPath.c_str());
        return m_lockPath + ": cannot lock: " + std::strerror(error);
    }
    m_lock = fd;
    m_session = stem + kSessionSuffix;
    m_origin = stem + kOriginSuffix;
    return {};
}

std::vector<AutosaveFolder::Orphan> AutosaveFolder::orphans() const
{
    std::vector<Orphan> found;
    DIR* entries = ::opendir(m_folder.c_str());
    if (entries == nullptr)
        return found;
    std::vector<std::string> leftovers; // dead instances' stems with no autosave
    while (const dirent* entry = ::readdir(entries)) {
        const std::string name = entry->d_name;
        const bool isSession = endsWith(name, kSessionSuffix);
        if (name.rfind(kPrefix, 0) != 0 || !(isSession || endsWith(name, kLockSuffix)))
            continue;
        const std::size_t suffix = std::strlen(isSession ? kSessionSuffix : kLockSuffix);
        const std::string stem = m_folder + '/' + name.substr(0, name.size() - suffix);
        const std::string session = stem + kSessionSuffix;
        if (session == m_session)
            continue;
        struct stat file {};
        const bool hasSession = ::lstat(session.c_str(), &file) == 0 && S_ISREG(file.st_mode);
        if (!isSession && hasSession)
            continue; // found by its session's entry
        const int lock = takeLock(stem + kLockSuffix);
        if (lock == -1)
            continue; // its instance still runs
        if (hasSession) {
            const std::int64_t ms =
                static_cast<std::int64_t>(file.st_mtim.tv_sec) * 1000 + file.st_mtim.tv_nsec / 1000000;
            found.push_back({session, firstLine(stem + kOriginSuffix), ms});
        } else if (!isSession) {
            leftovers.push_back(session);
        }
        if (lock >= 0)
            ::close(lock);
    }
    ::closedir(entries);
    // Killed before its first autosave was in place: only its lock and
    // perhaps a temporary file are left, and nothing worth offering.
    for (const std::string& session : leftovers)
        discard({session, {}, 0});
    std::sort(found.begin(), found.end(),
              [](const Orphan& a, const Orphan& b) { return a.modifiedMs > b.modifiedMs; });
    return found;
}

void AutosaveFolder::discard(const Orphan& orphan) const
{
    if (!endsWith(orphan.path, kSessionSuffix) || orphan.path == m_session)
        return;
    const std::string stem = orphan.path.substr(0, orphan.path.size() - std::strlen(kSessionSuffix));
    const int lock = takeLock(stem + kLockSuffix);
    if (lock == -1)
        return;
    for (const char* suffix : {kSessionSuffix, kOriginSuffix}) {
        ::unlink((stem + suffix).c_str());
        removeStrayTemporaries(stem + suffix);
    }
    if (lock >= 0) {
        ::unlink((stem + kLockSuffix).c_str());
        ::close(lock);
    }
}

} // namespace cosmophase

#include "BackgroundWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace cosmophase {

BackgroundWriter::BackgroundWriter(Done done)
    : m_done(std::move(done))
    , m_thread([this] { run(); })
{
}

BackgroundWriter::~BackgroundWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void BackgroundWriter::write(std::string path, std::string contents)
{
    enqueue({Kind::Write, std::move(path), std::move(contents)});
}

void BackgroundWriter::remove(std::string path)
{
    enqueue({Kind::Remove, std::move(path), {}});
}

void BackgroundWriter::syncFolder(std::string path)
{
    enqueue({Kind::SyncFolder, std::move(path), {}});
}

void BackgroundWriter::enqueue(Job job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(),
                                    [&](const Job& waiting) {
                                        // A write or removal of the file replaces the one waiting.
                                        return waiting.path == job.path &&
                                               (waiting.kind == Kind::SyncFolder) == (job.kind == Kind::SyncFolder);
                                    }),
                     m_jobs.end());
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void BackgroundWriter::wait()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void BackgroundWriter::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty()) // and stopping: everything asked is done
            return;
        const Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        WriteResult result;
        switch (job.kind) {
        case Kind::Write:
            result = writeFileAtomically(job.path, job.contents);
            break;
        case Kind::Remove:
            result.ok = std::remove(job.path.c_str()) == 0 || errno == ENOENT;
            if (!result.ok)
                result.error = job.path + ": cannot remove: " + std::strerror(errno);
            removeStrayTemporaries(job.path);
            break;
        case Kind::SyncFolder:
            result = syncFolderOf(job.path);
            break;
        }
        if (m_done)
            m_done(job.path, result);
        lock.lock();
        m_busy = false;
        if (m_jobs.empty())
            m_idle.notify_all();
    }
}

} // namespace cosmophase

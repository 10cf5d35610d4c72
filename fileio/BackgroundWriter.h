#pragma once

#include "AtomicWrite.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace cosmophase {

// Writes files with the atomic writer on a thread of its own, so that a
// caller on the UI thread only hands over the text. One write runs at a
// time, in the order asked; a request for a path replaces any request for
// the same path still waiting, so the latest contents win and a burst of
// changes costs one write.
class BackgroundWriter {
public:
    // Called on the writer's thread after each write or removal.
    using Done = std::function<void(const std::string& path, const WriteResult& result)>;

    explicit BackgroundWriter(Done done = {});
    // Finishes what was asked, then stops.
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;

    void write(std::string path, std::string contents);
    // Removes the file (and temporary files killed writers left beside it)
    // once the writes asked before are done.
    void remove(std::string path);
    // The folder sync that a FolderSync::Later write of `path` left to do.
    void syncFolder(std::string path);
    // Blocks until everything asked so far is done.
    void wait();

private:
    enum class Kind { Write, Remove, SyncFolder };
    struct Job {
        Kind kind = Kind::Write;
        std::string path;
        std::string contents;
    };
    void enqueue(Job job);
    void run();

    Done m_done;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread; // last, so that it starts once the rest exists
};

} // namespace cosmophase

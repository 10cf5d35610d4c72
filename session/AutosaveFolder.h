#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cosmophase {

// The folder where running instances keep their autosaves, one each, so
// that two instances never write over each other and a crashed one's work
// is found by the next launch.
//
// An instance's files share a stem, "autosave-<pid>-<start ms>": the
// session (".cosmophase"), the path of the session file it came from, if
// any (".origin"), and a lock file (".lock") that the instance holds locked
// for as long as it runs. The kernel drops the lock when the process dies
// however it dies, so an autosave whose lock is free (or gone) is an orphan.
class AutosaveFolder {
public:
    struct Orphan {
        std::string path;   // the autosaved session
        std::string origin; // the session file it was opened from or saved as; empty if none
        std::int64_t modifiedMs = 0; // when it was written, ms since the epoch
    };

    explicit AutosaveFolder(std::string folder);
    // Unlocks and removes the lock file; the autosave itself stays unless
    // it was removed (a clean exit does that).
    ~AutosaveFolder();
    AutosaveFolder(const AutosaveFolder&) = delete;
    AutosaveFolder& operator=(const AutosaveFolder&) = delete;

    // Creates the folder if needed and locks this instance's stem. Returns
    // an empty string or one line saying why autosaves cannot be kept.
    std::string claim();
    bool claimed() const { return m_lock >= 0; }

    const std::string& folder() const { return m_folder; }
    // This instance's autosave and origin files (valid once claimed).
    const std::string& sessionPath() const { return m_session; }
    const std::string& originPath() const { return m_origin; }

    // The autosaves of instances that no longer run, newest first. Dead
    // instances that left no autosave (only a lock, perhaps a temporary
    // file) are cleared away on the way.
    std::vector<Orphan> orphans() const;
    // Removes an orphan's files (and any temporary file a write killed
    // midway left), unless its instance has come back to life meanwhile.
    void discard(const Orphan& orphan) const;

private:
    std::string m_folder;
    std::string m_session;
    std::string m_origin;
    std::string m_lockPath;
    int m_lock = -1;
};

} // namespace cosmophase

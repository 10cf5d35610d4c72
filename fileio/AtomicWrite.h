#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace cosmophase {

struct WriteResult {
    bool ok = false;
    std::string error; // one line naming the path and the reason
    // Saved, but not as safely as asked (the folder could not be synced, so
    // a power cut may still bring back the old file): one line, to be shown.
    std::string warning;
};

// Writes `contents` to `path` through a temporary file in the same folder:
// the data is synced, renamed over the target and the folder synced too.
// A symbolic link at `path` is followed (through any chain, relative links
// from their own folder) and the file it names is written, or created if it
// does not exist; the links stay as they are. Only regular files are
// replaced. A failure before the rename removes the temporary file and
// leaves an existing file as it was. Where the file system allows it the
// temporary file has no name until just before the rename; where such a file
// cannot be named, the contents are written again to a named one. A process
// killed while its temporary file has a name leaves that file behind
// (`path` + ".tmp" + eight letters or digits); the next write to `path`
// removes it, and leaves alone those that live writers hold locked.
//
// The folder's sync, which makes the rename survive a power cut, is the
// slowest step after the data's; a caller that must not wait for it (the
// UI thread) asks for it Later and runs syncFolderOf(path) off its thread.
enum class FolderSync { Now, Later };
WriteResult writeFileAtomically(const std::string& path, const std::string& contents,
                                FolderSync folderSync = FolderSync::Now);

// The folder sync a FolderSync::Later write left to do: ok, with a warning
// when the folder cannot be synced.
WriteResult syncFolderOf(const std::string& path);

// Removes what writers killed mid-write to `path` left behind (their
// temporary files), for a file no one will write again; files that live
// writers hold locked stay.
void removeStrayTemporaries(const std::string& path);

// The same for contents that come piece by piece (a sweep's rows), so that
// they need not all be held: open(), any number of append(), then commit().
// Until commit() renames it into place the data sits in the temporary file,
// and a writer destroyed uncommitted (or a process killed) leaves the file
// at `path` as it was.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    WriteResult open();
    // False once a write has failed; commit() then reports why.
    bool append(std::string_view data);
    // Moves where the next append() writes, for formats that go back to
    // fill in a length once the rest is written (a movie's index).
    bool seek(std::uint64_t offset);
    WriteResult commit(FolderSync folderSync = FolderSync::Now);

private:
    struct Pending;
    std::string m_path;
    std::string m_target; // `path` with its links followed
    std::unique_ptr<Pending> m_pending;
    int m_error = 0;
};

} // namespace cosmophase

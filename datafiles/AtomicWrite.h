#pragma once

#include <string>

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
// temporary file has no name until just before the rename, so that even a
// killed process leaves nothing behind; where such a file cannot be named,
// the contents are written again to a named one.
WriteResult writeFileAtomically(const std::string& path, const std::string& contents);

} // namespace cosmophase

#pragma once

#include <string>

namespace cosmophase {

struct WriteResult {
    bool ok = false;
    std::string error; // one line naming the path and the reason
};

// Writes to a temporary file beside `path`, syncs it and renames it over
// `path`. On failure the temporary file is removed and an existing `path`
// is left as it was. Only regular files are replaced.
WriteResult writeFileAtomically(const std::string& path, const std::string& contents);

} // namespace cosmophase

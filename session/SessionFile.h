#pragma once

#include "AtomicWrite.h"
#include "Session.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cosmophase {

// The session file format: JSON in UTF-8, an object with "format":
// "cosmophase-session" and "version": 1; every other key is optional.
inline constexpr const char* kSessionFormat = "cosmophase-session";
inline constexpr int kSessionVersion = 1;
inline constexpr const char* kSessionExtension = ".cosmophase";
// A session is a few kilobytes; anything far larger is not one, and is
// refused before it is read into memory.
inline constexpr std::size_t kMaxSessionBytes = 1 << 20;

struct SessionReadResult {
    std::optional<Session> session;
    std::string error; // one line, naming the file when read from one
    // Keys this version does not know ("view.tilt"), ignored: worth a warning.
    std::vector<std::string> unknownKeys;
    bool ok() const { return session.has_value(); }
};

// Reads a session from the file's text. A bad text gives no session and
// one line saying what is wrong; nothing is half read.
SessionReadResult parseSession(std::string_view text);
// Reads the file at `path` (at most kMaxSessionBytes); errors name it.
SessionReadResult readSessionFile(const std::string& path);

// The file's text: keys in a fixed order, two-space indents, numbers in the
// shortest form that reads back exactly, so that reading and writing again
// gives the same bytes.
std::string sessionText(const Session& session);
// Writes it with the atomic writer.
WriteResult writeSessionFile(const std::string& path, const Session& session,
                             FolderSync folderSync = FolderSync::Now);

// "N unknown key(s) ignored: a, b" for a status bar; empty when none.
std::string unknownKeysWarning(const std::vector<std::string>& keys);

} // namespace cosmophase

#pragma once

#include "SessionFile.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cosmophase {

// What a figure or movie carries about the session that drew it: the
// session's JSON, the version of the program that wrote it and the samples
// digest of the run it shows, so that it reopens as that state and its
// numbers can be checked.
struct EmbeddedRecord {
    std::string sessionText;    // the session file's JSON, compact
    std::string programVersion; // "1.0.0"
    std::string samplesDigest;  // as the run summary prints it
    bool operator==(const EmbeddedRecord& other) const
    {
        return sessionText == other.sessionText && programVersion == other.programVersion &&
               samplesDigest == other.samplesDigest;
    }
};

// The name under which each format keeps the record (a PNG chunk's keyword,
// the SVG metadata's id, the GIF comment's first line).
inline constexpr const char* kEmbeddedKeyword = "cosmophase-session";
inline constexpr const char* kEmbeddedFormat = "cosmophase-figure";
inline constexpr int kEmbeddedVersion = 1;

struct EmbeddedParseResult {
    std::optional<EmbeddedRecord> record;
    std::string error; // one line; for readEmbedded it names the file
    bool ok() const { return record.has_value(); }
};

// The record as one compact JSON object: {"format", "version", "program",
// "digest", "session"}, the session's own object nested. `sessionText` is
// any valid session text; it is kept compact.
std::string embeddedRecordText(const EmbeddedRecord& record);
// Reads what embeddedRecordText wrote. A bad text gives one line saying so.
EmbeddedParseResult parseEmbeddedRecord(std::string_view text);

// Reads the record a figure or movie carries (PNG, SVG, PDF, MP4, GIF,
// WebM, told apart by their first bytes, not their names). A file that carries
// none says "carries no session"; a damaged one says what is wrong.
EmbeddedParseResult readEmbedded(const std::string& path);
// The same from the file's bytes; errors do not name a file.
EmbeddedParseResult readEmbeddedBytes(std::string_view bytes);

// The record of what this program draws for `session`, whose run has the
// samples digest `samplesDigest`, as text to embed.
std::string sessionRecordText(const Session& session, const std::string& samplesDigest);

// Whether the file at `path` is a picture or movie of a kind that can carry
// a record, by its first bytes (false when it cannot be read).
bool isFigureOrMovie(const std::string& path);

// Reads a session from a session file, or from the figure or movie that
// carries one (told apart by the first bytes); errors name the file, as
// readSessionFile's do.
SessionReadResult readSessionOrFigure(const std::string& path);

// The bytes of a PNG, SVG or GIF with the record added in the format's own
// place; empty when `bytes` is not such a file. PDF and the movies carry it
// through their writers' own metadata (see pdfXmpPacket, the MP4's and
// WebM's "comment" tag and gifCommentExtension).
std::string withEmbeddedRecord(std::string_view bytes, const std::string& recordText);

// A GIF Comment Extension block holding the record, to go just before the
// file's trailer.
std::string gifCommentExtension(const std::string& recordText);

// An XMP packet for a PDF's document metadata: its title and creator, and
// the record.
std::string pdfXmpPacket(const std::string& title, const std::string& creator, const std::string& recordText);

} // namespace cosmophase

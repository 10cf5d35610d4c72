#include "EmbeddedRecord.h"

#include "SessionFile.h"

#include <nlohmann/json.hpp>

namespace cosmophase {

namespace {

using nlohmann::json;

EmbeddedParseResult damaged(const std::string& why)
{
    return {std::nullopt, "its session is damaged: " + why};
}

} // namespace

std::string embeddedRecordText(const EmbeddedRecord& record)
{
    // Keys in this order, so that the same record gives the same bytes.
    return "{\"format\":" + json(kEmbeddedFormat).dump() + ",\"version\":" + std::to_string(kEmbeddedVersion) +
           ",\"program\":" + json(record.programVersion).dump() + ",\"digest\":" + json(record.samplesDigest).dump() +
           ",\"session\":" + json::parse(record.sessionText).dump() + "}";
}

EmbeddedParseResult parseEmbeddedRecord(std::string_view text)
{
    if (text.size() > kMaxSessionBytes)
        return damaged("it is too large");
    const json parsed = json::parse(text.begin(), text.end(), nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object())
        return damaged("not JSON");
    const auto format = parsed.find("format");
    if (format == parsed.end() || *format != kEmbeddedFormat)
        return damaged("no \"format\": \"" + std::string(kEmbeddedFormat) + "\"");
    const auto version = parsed.find("version");
    if (version == parsed.end() || !version->is_number_integer())
        return damaged("no version");
    if (*version != kEmbeddedVersion)
        return {std::nullopt, "its session was written by a newer Cosmophase (record version " +
                                  version->dump() + ")"};
    const auto program = parsed.find("program");
    const auto digest = parsed.find("digest");
    const auto session = parsed.find("session");
    if (program == parsed.end() || !program->is_string() || digest == parsed.end() || !digest->is_string())
        return damaged("no program version or digest");
    if (session == parsed.end() || !session->is_object())
        return damaged("no session");
    EmbeddedRecord record{session->dump(), program->get<std::string>(), digest->get<std::string>()};
    if (const SessionReadResult read = parseSession(record.sessionText); !read.ok())
        return damaged(read.error);
    return {std::move(record), {}};
}

} // namespace cosmophase

namespace cosmophase {

std::string sessionRecordText(const Session& session, const std::string& samplesDigest)
{
    return embeddedRecordText({sessionText(session), COSMOPHASE_VERSION, samplesDigest});
}

} // namespace cosmophase

#include "VerifyCommand.h"

#include "DataFormat.h"
#include "EmbeddedRecord.h"
#include "OneLine.h"
#include "SessionFile.h"
#include "Simulation.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

namespace cosmophase {

namespace {

// The session a file carries, with what was recorded beside it.
struct RecordedSession {
    std::optional<Session> session;
    std::string digest;  // empty: none recorded (a plain session file)
    std::string version; // empty: none recorded
    std::string error;   // one line when there is no session
};

RecordedSession readRecordedSession(const std::string& path)
{
    RecordedSession recorded;
    if (isFigureOrMovie(path)) {
        const EmbeddedParseResult embedded = readEmbedded(path);
        if (!embedded.ok()) {
            recorded.error = embedded.error;
            return recorded;
        }
        // The record's reader has read its session already.
        recorded.session = parseSession(embedded.record->sessionText).session;
        recorded.digest = embedded.record->samplesDigest;
        recorded.version = embedded.record->programVersion;
        return recorded;
    }
    SessionReadResult read = readSessionFile(path);
    if (!read.ok()) {
        recorded.error = read.error;
        return recorded;
    }
    recorded.session = std::move(read.session);
    return recorded;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Why the digests differ, as far as the file can tell.
std::string mismatchReason(const Verification& v, const std::string& recordedDigest)
{
    std::string reason = "digest expected " + v.expectedDigest + ", computed " + v.computedDigest;
    if (!recordedDigest.empty() && recordedDigest != v.expectedDigest)
        return reason + "; the file records " + recordedDigest + ", which is not the digest given";
    if (v.recordedVersion.empty())
        return reason + "; the parameters differ from those the digest was computed from";
    if (v.recordedVersion == v.thisVersion)
        return reason + "; written by this version (" + v.thisVersion + "), so the file was edited";
    return reason + "; written by version " + v.recordedVersion + ", this is " + v.thisVersion +
           ": the file was edited or that version computes differently";
}

std::string describedRun(const Verification& v)
{
    return "q = " + accelerationText(v.parameters->q) + ", T = " + std::to_string(v.parameters->T);
}

} // namespace

bool isDigestText(const std::string& text)
{
    return text.size() == 16 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

Verification verifyFile(const std::string& path, const std::string& givenDigest,
                        const std::string& thisVersion)
{
    Verification v;
    v.file = path;
    v.thisVersion = thisVersion;
    const RecordedSession recorded = readRecordedSession(path);
    v.recordedVersion = recorded.version;
    if (!recorded.session) {
        v.reason = recorded.error;
        return v;
    }
    v.parameters = recorded.session->parameters();
    v.expectedDigest = givenDigest.empty() ? recorded.digest : lowerCase(givenDigest);

    Simulation run;
    run.initialize(*v.parameters);
    const RunStatus status = run.runSimulationBounded();
    if (status != RunStatus::Ok) {
        v.status = VerifyStatus::Mismatch;
        v.reason = statusReason(status);
        if (!v.expectedDigest.empty())
            v.reason += "; digest expected " + v.expectedDigest;
        return v;
    }
    v.computedDigest =
        samplesDigest({run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData()});
    const bool recordedDiffers = !recorded.digest.empty() && recorded.digest != v.computedDigest;
    if ((!v.expectedDigest.empty() && v.expectedDigest != v.computedDigest) || recordedDiffers) {
        if (v.expectedDigest == v.computedDigest)
            v.expectedDigest = recorded.digest; // the given digest matched; the file's did not
        v.status = VerifyStatus::Mismatch;
        v.reason = mismatchReason(v, recorded.digest);
        return v;
    }
    // The numbers agree, but the window would refuse a marker past the run.
    const std::string marker = checkMarker(recorded.session->marker, run.getTimeData().size());
    if (!marker.empty()) {
        v.status = VerifyStatus::NoSession;
        v.reason = escapeControlCharacters(path) + ": " + marker;
        return v;
    }
    v.status = v.expectedDigest.empty() ? VerifyStatus::Computed : VerifyStatus::Verified;
    return v;
}

int verifyExitStatus(const Verification& v)
{
    switch (v.status) {
    case VerifyStatus::Verified:
    case VerifyStatus::Computed:
        return 0;
    case VerifyStatus::Mismatch:
        return 1;
    case VerifyStatus::NoSession:
        break;
    }
    return 2;
}

std::string verificationText(const Verification& v)
{
    const std::string file = escapeControlCharacters(v.file);
    switch (v.status) {
    case VerifyStatus::Verified: {
        const bool otherVersion = !v.recordedVersion.empty() && v.recordedVersion != v.thisVersion;
        return "verified: " + file + ": " + describedRun(v) + ", digest " + v.computedDigest +
               (otherVersion ? " (written by version " + v.recordedVersion + ", this is " + v.thisVersion + ")"
                             : std::string()) +
               "\n";
    }
    case VerifyStatus::Computed:
        return "computed: " + file + ": " + describedRun(v) + ", digest " + v.computedDigest +
               " (no digest recorded to compare with; see --digest)\n";
    case VerifyStatus::Mismatch:
        return "mismatch: " + file + ": " + describedRun(v) + ": " + v.reason + "\n";
    case VerifyStatus::NoSession:
        break;
    }
    return v.reason + "\n"; // names the file
}

std::string verificationJson(const Verification& v)
{
    using Json = nlohmann::ordered_json;
    const auto textOrNull = [](const std::string& text) { return text.empty() ? Json() : Json(text); };
    static const char* const kStatus[] = {"verified", "computed", "mismatch", "no_session"};
    Json object;
    object["status"] = kStatus[static_cast<int>(v.status)];
    object["file"] = v.file;
    object["q"] = v.parameters ? Json(v.parameters->q) : Json();
    object["T"] = v.parameters ? Json(v.parameters->T) : Json();
    object["digest_expected"] = textOrNull(v.expectedDigest);
    object["digest_computed"] = textOrNull(v.computedDigest);
    object["version_recorded"] = textOrNull(v.recordedVersion);
    object["version_this"] = v.thisVersion;
    object["reason"] = textOrNull(v.reason);
    // A path is any bytes; JSON must stay valid UTF-8.
    return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace cosmophase

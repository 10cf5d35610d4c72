#pragma once

#include "RunParameters.h"

#include <optional>
#include <string>

namespace cosmophase {

// What `verify` found out about a figure, a movie or a session file.
enum class VerifyStatus {
    Verified,  // the recomputed digest is the expected one
    Computed,  // a session with no digest to compare with: its run completes
    Mismatch,  // the recomputed digest differs, or the run no longer completes
    NoSession  // no session could be read from the file
};

struct Verification {
    VerifyStatus status = VerifyStatus::NoSession;
    std::string file;
    std::optional<RunParameters> parameters; // once a session was read
    std::string expectedDigest;  // empty: nothing to compare with
    std::string computedDigest;  // empty: the run did not complete
    std::string recordedVersion; // empty: the file records none
    std::string thisVersion;
    std::string reason; // one line for anything but Verified and Computed
};

// A digest as `--digest` takes it: 16 hexadecimal digits, either case.
bool isDigestText(const std::string& text);

// Reads the session (and the digest and version beside it) from `path`,
// runs it and compares. `givenDigest`, when not empty, is expected too.
Verification verifyFile(const std::string& path, const std::string& givenDigest,
                        const std::string& thisVersion);

// 0 verified or computed, 1 mismatch, 2 no session.
int verifyExitStatus(const Verification& verification);

// The one line of text, or the JSON object, standard output shows.
std::string verificationText(const Verification& verification);
std::string verificationJson(const Verification& verification);

} // namespace cosmophase

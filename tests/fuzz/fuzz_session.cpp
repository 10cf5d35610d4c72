// libFuzzer target: the session reader on arbitrary bytes. Beyond "no crash,
// no undefined behaviour": a refusal is one line, and whatever is accepted
// writes back to a text that reads as the same session, byte for byte.

#include "FuzzInput.h"
#include "SessionFile.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const cosmophase::SessionReadResult read = cosmophase::parseSession(text);
    if (!read.ok()) {
        FUZZ_CHECK(!read.error.empty());
        FUZZ_CHECK(read.error.find('\n') == std::string::npos);
        return 0;
    }
    FUZZ_CHECK(cosmophase::ParameterDomain::check(read.session->parameters()).empty());
    for (const cosmophase::SessionPinnedRun& pinned : read.session->pinnedRuns)
        FUZZ_CHECK(cosmophase::ParameterDomain::check(pinned.parameters()).empty());
    const std::string written = cosmophase::sessionText(*read.session);
    const cosmophase::SessionReadResult again = cosmophase::parseSession(written);
    FUZZ_CHECK(again.ok() && again.unknownKeys.empty());
    FUZZ_CHECK(cosmophase::sessionText(*again.session) == written);
    return 0;
}

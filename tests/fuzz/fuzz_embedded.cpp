// libFuzzer target: the reader of the session record a figure or movie
// carries, on arbitrary bytes (any of PNG, SVG, PDF, GIF, MP4 and WebM by
// their first bytes). A refusal is one line; whatever is accepted carries a
// session that reads, and embedding its record again reads back the same.

#include "EmbeddedRecord.h"
#include "FuzzInput.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const cosmophase::EmbeddedParseResult read = cosmophase::readEmbeddedBytes(bytes);
    if (!read.ok()) {
        FUZZ_CHECK(!read.error.empty());
        FUZZ_CHECK(read.error.find('\n') == std::string::npos);
        return 0;
    }
    FUZZ_CHECK(cosmophase::parseSession(read.record->sessionText).ok());
    const std::string text = cosmophase::embeddedRecordText(*read.record);
    const std::string again = cosmophase::withEmbeddedRecord(bytes, text);
    if (!again.empty()) {
        const cosmophase::EmbeddedParseResult reread = cosmophase::readEmbeddedBytes(again);
        FUZZ_CHECK(reread.ok());
    }
    return 0;
}

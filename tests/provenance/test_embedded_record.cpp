#include "EmbeddedRecord.h"
#include "SessionFile.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <functional>

using namespace cosmophase;

namespace {

EmbeddedRecord sampleRecord()
{
    Session session;
    session.q = "0.5";
    session.traces = {{0.25, -1.5}, {1e-300, 3}};
    return {sessionText(session), "1.0.0", "0123456789abcdef"};
}

std::string be32(std::uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string chunk(const std::string& type, const std::string& data)
{
    const std::string body = type + data;
    return be32(static_cast<std::uint32_t>(data.size())) + body +
           be32(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

// A 1 x 1 grey PNG, made by hand so that the reader is tested apart from any writer.
std::string tinyPng()
{
    const std::string pixel("\0\x80", 2);
    uLongf size = compressBound(pixel.size());
    std::string idat(size, '\0');
    compress(reinterpret_cast<Bytef*>(idat.data()), &size, reinterpret_cast<const Bytef*>(pixel.data()), pixel.size());
    idat.resize(size);
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", be32(1) + be32(1) + std::string("\x08\0\0\0\0", 5)) +
           chunk("IDAT", idat) + chunk("IEND", "");
}

// A 1 x 1 GIF with a two-colour table and one image.
std::string tinyGif()
{
    return std::string("GIF89a\1\0\1\0\x80\0\0" "\0\0\0\xff\xff\xff"
                       "\x2c\0\0\0\0\1\0\1\0\0" "\x02\x02\x44\x01\0" "\x3b",
                       6 + 7 + 6 + 10 + 5 + 1);
}

std::string box(const std::string& type, const std::string& body)
{
    return be32(static_cast<std::uint32_t>(8 + body.size())) + type + body;
}

// The boxes the MP4 muxer writes for a "comment" tag.
std::string tinyMp4(const std::string& comment)
{
    const std::string data = box("data", be32(1) + be32(0) + comment);
    const std::string ilst = box("ilst", box("\xa9" "cmt", data));
    return box("ftyp", "isom") + box("moov", box("mvhd", std::string(100, '\0')) +
                                              box("udta", box("meta", be32(0) + box("hdlr", std::string(25, '\0')) + ilst)));
}

const std::string kSvg = "<?xml version=\"1.0\"?>\n<svg width=\"4\" height=\"4\"><title>t</title></svg>\n";

} // namespace

TEST(EmbeddedRecord, BadRecordsAreRefusedWithOneLine)
{
    const std::string good = embeddedRecordText(sampleRecord());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct {
        const char* name;
        std::string text;
        const char* says;
    } cases[] = {
        {"not JSON", good.substr(0, good.size() / 2), "not JSON"},
        {"another format", replaced("cosmophase-figure", "other"), "format"},
        {"newer version", replaced("\"version\":1,\"program\"", "\"version\":2,\"program\""), "newer"},
        {"no digest", replaced("\"digest\"", "\"digets\""), "digest"},
        {"bad session", replaced("\"q\":\"0.5\"", "\"q\":\"x\""), "damaged"},
    };
    for (const auto& c : cases) {
        const EmbeddedParseResult read = parseEmbeddedRecord(c.text);
        EXPECT_FALSE(read.ok()) << c.name;
        EXPECT_NE(read.error.find(c.says), std::string::npos) << c.name << ": " << read.error;
        EXPECT_EQ(read.error.find('\n'), std::string::npos) << c.name;
    }
}

TEST(EmbeddedRecord, EachFormatKeepsItInItsOwnPlace)
{
    const std::string text = embeddedRecordText(sampleRecord());
    const std::string xmp = pdfXmpPacket("A <title>", "Cosmophase", text);
    const struct {
        const char* name;
        std::string bytes;
        const char* place;
    } cases[] = {
        {"PNG", withEmbeddedRecord(tinyPng(), text), "iTXtcosmophase-session"},
        {"SVG", withEmbeddedRecord(kSvg, text), "<metadata id=\"cosmophase-session\">"},
        {"GIF", withEmbeddedRecord(tinyGif(), text), "\x21\xfe"},
        {"PDF", "%PDF-1.4\n1 0 obj\n<< /Type /Metadata >>\nstream\n" + xmp + "\nendstream\n", "<cosmophase:record>"},
        {"MP4", tinyMp4(text), "\xa9" "cmt"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(c.bytes.find(c.place), std::string::npos) << c.name;
        const EmbeddedParseResult read = readEmbeddedBytes(c.bytes);
        ASSERT_TRUE(read.ok()) << c.name << ": " << read.error;
        // The session, number for number: its file text is the same.
        EXPECT_EQ(sessionText(*parseSession(read.record->sessionText).session), sampleRecord().sessionText) << c.name;
        EXPECT_EQ(embeddedRecordText(*read.record), text) << c.name;
    }
}

TEST(EmbeddedRecord, PicturesWithoutOrWithDamagedSessionsAreRefused)
{
    const std::string text = embeddedRecordText(sampleRecord());
    const std::string png = withEmbeddedRecord(tinyPng(), text);
    const std::size_t record = png.find("iTXt");
    const auto flipped = [](std::string bytes, std::size_t at) {
        bytes[at] = static_cast<char>(bytes[at] ^ 0x10);
        return bytes;
    };
    // A chunk that inflates far beyond any session, with a correct checksum.
    const std::string bomb = std::string(kEmbeddedKeyword) + std::string("\0\1\0\0\0", 5) + [] {
        const std::string zeros(8 << 20, ' ');
        uLongf size = compressBound(zeros.size());
        std::string out(size, '\0');
        compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(zeros.data()), zeros.size());
        out.resize(size);
        return out;
    }();
    const std::string bombPng = tinyPng().insert(33, chunk("iTXt", bomb));
    const std::string gif = withEmbeddedRecord(tinyGif(), text);
    const std::string svg = withEmbeddedRecord(kSvg, text);
    const struct {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"PNG without", tinyPng(), "carries no session"},
        {"SVG without", kSvg, "carries no session"},
        {"GIF without", tinyGif(), "carries no session"},
        {"PDF without", "%PDF-1.4\n%%EOF\n", "carries no session"},
        {"MP4 with another comment", tinyMp4("made by hand"), "carries no session"},
        {"PNG, a byte of the record changed", flipped(png, record + 60), "checksum"},
        {"PNG cut inside the record", png.substr(0, record + 40), "truncated"},
        {"PNG whose record inflates without end", bombPng, "does not decompress"},
        {"GIF cut inside the comment", gif.substr(0, gif.find("\x21\xfe") + 100), "truncated"},
        {"SVG cut inside the metadata", svg.substr(0, svg.find("cosmophase-figure")), "no end"},
        {"not a picture", "{\"format\": \"cosmophase-session\"}", "not a figure or movie"},
        {"empty", "", "not a figure or movie"},
    };
    for (const auto& c : cases) {
        const EmbeddedParseResult read = readEmbeddedBytes(c.bytes);
        EXPECT_FALSE(read.ok()) << c.name;
        EXPECT_NE(read.error.find(c.says), std::string::npos) << c.name << ": " << read.error;
        EXPECT_EQ(read.error.find('\n'), std::string::npos) << c.name;
    }
}

TEST(EmbeddedRecord, MovieIsReadUpToItsHeaderFromAFile)
{
    // A movie is read box by box up to its header, wherever the frames put it.
    const std::string text = embeddedRecordText(sampleRecord());
    const std::string mp4 = tinyMp4(text);
    const std::size_t moov = mp4.find("moov") - 4;
    const std::string framesFirst = mp4.substr(0, moov) + box("mdat", std::string(100000, 'x')) + mp4.substr(moov);
    const std::string path = testing::TempDir() + "movie.mp4";
    const auto readFrom = [&](const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return readEmbedded(path);
    };
    const EmbeddedParseResult read = readFrom(framesFirst);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(embeddedRecordText(*read.record), text);
    const EmbeddedParseResult cut = readFrom(framesFirst.substr(0, moov + 5000));
    EXPECT_FALSE(cut.ok());
    EXPECT_NE(cut.error.find("no movie header"), std::string::npos) << cut.error;
    EXPECT_EQ(cut.error.rfind(path + ": ", 0), 0u) << cut.error;
}

// Embedding again replaces the record, and a root tag left open takes none:
// either way the picture carries exactly one record that reads back.
TEST(EmbeddedRecord, AnSvgCarriesOneRecord)
{
    const std::string text = embeddedRecordText(sampleRecord());
    const std::string twice = withEmbeddedRecord(withEmbeddedRecord(kSvg, "{}"), text);
    EXPECT_EQ(twice.find("<metadata"), twice.rfind("<metadata"));
    const EmbeddedParseResult read = readEmbeddedBytes(twice);
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(embeddedRecordText(*read.record), text);
    EXPECT_EQ(withEmbeddedRecord("<svg width=\"4\"<g/></svg>", text), "");
    // An element left open before the root is no record.
    const std::string open =
        "<?xml version=\"1.0\"?><metadata id=\"cosmophase-session\">" + text + std::string(1, '\0') + twice;
    EXPECT_FALSE(readEmbeddedBytes(open).ok());
}

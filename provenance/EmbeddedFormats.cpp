#include "EmbeddedRecord.h"

#include "SessionFile.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace cosmophase {

namespace {

constexpr std::string_view kNoSession = "carries no session";
constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
// The GIF comment's first line names it, so that other comments are left alone.
const std::string kGifCommentHead = std::string(kEmbeddedKeyword) + "\n";
const std::string kSvgOpen = std::string("<metadata id=\"") + kEmbeddedKeyword + "\">";
constexpr std::string_view kSvgClose = "</metadata>";
constexpr std::string_view kXmpOpen = "<cosmophase:record>";
constexpr std::string_view kXmpClose = "</cosmophase:record>";
// What is read of a file at most: a movie's header box, a whole figure.
constexpr std::uint64_t kMaxMovieHeaderBytes = 256u << 20;
constexpr std::uint64_t kMaxPictureBytes = 1u << 30;

EmbeddedParseResult failure(std::string line) { return {std::nullopt, std::move(line)}; }
EmbeddedParseResult damaged(const std::string& why) { return failure("its session is damaged: " + why); }

std::uint32_t bigEndian32(std::string_view bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void appendBigEndian32(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xff);
}

std::string escapeXml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::optional<std::string> unescapeXml(std::string_view text)
{
    static constexpr std::array<std::pair<std::string_view, char>, 5> entities{
        {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        bool known = false;
        for (const auto& [name, c] : entities) {
            if (text.substr(i, name.size()) == name) {
                out += c;
                i += name.size();
                known = true;
                break;
            }
        }
        if (!known)
            return std::nullopt;
    }
    return out;
}

// The text between `open` and `close`, unescaped; the first `open` only.
EmbeddedParseResult xmlElement(std::string_view bytes, std::string_view open, std::string_view close)
{
    const std::size_t start = bytes.find(open);
    if (start == std::string_view::npos)
        return failure(std::string(kNoSession));
    const std::size_t end = bytes.find(close, start + open.size());
    if (end == std::string_view::npos)
        return damaged("it has no end");
    const std::string_view content = bytes.substr(start + open.size(), end - start - open.size());
    // The record is escaped text: a tag inside means the element was never
    // closed where it began.
    if (content.find('<') != std::string_view::npos)
        return damaged("it has no end");
    const std::optional<std::string> text = unescapeXml(content);
    if (!text)
        return damaged("an unknown XML entity");
    return parseEmbeddedRecord(*text);
}

// ---- PNG: an iTXt chunk, its text compressed.

std::uint32_t crcOf(std::string_view bytes)
{
    return static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

std::string deflated(const std::string& text)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(text.data()),
                  static_cast<uLong>(text.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.resize(size);
    return out;
}

// Refuses more than a session can be, so a small chunk cannot inflate to gigabytes.
std::optional<std::string> inflated(std::string_view data)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    std::array<char, 16384> buffer{};
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
        stream.avail_out = buffer.size();
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer.data(), buffer.size() - stream.avail_out);
        if (out.size() > kMaxSessionBytes)
            status = Z_DATA_ERROR;
        else if (status == Z_BUF_ERROR && stream.avail_in == 0)
            status = Z_DATA_ERROR; // the stream ends early
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

std::string pngChunk(std::string_view type, const std::string& data)
{
    std::string chunk;
    appendBigEndian32(chunk, static_cast<std::uint32_t>(data.size()));
    const std::string body = std::string(type) + data;
    chunk += body;
    appendBigEndian32(chunk, crcOf(body));
    return chunk;
}

std::string pngWithRecord(std::string_view png, const std::string& recordText)
{
    // keyword, NUL, compressed, zlib, no language, no translated keyword
    std::string data = std::string(kEmbeddedKeyword) + '\0' + '\1' + '\0' + '\0' + '\0' + deflated(recordText);
    // Before the first image data, where readers look for text.
    for (std::size_t at = kPngSignature.size(); at + 8 <= png.size();) {
        const std::uint32_t length = bigEndian32(png, at);
        if (png.substr(at + 4, 4) == "IDAT" || png.substr(at + 4, 4) == "IEND")
            return std::string(png.substr(0, at)) + pngChunk("iTXt", data) + std::string(png.substr(at));
        at += 12 + std::size_t{length};
    }
    return {};
}

EmbeddedParseResult pngRecord(std::string_view png)
{
    const std::string keyword = std::string(kEmbeddedKeyword) + '\0';
    for (std::size_t at = kPngSignature.size();;) {
        if (at + 8 > png.size())
            return failure("the file is truncated");
        const std::uint32_t length = bigEndian32(png, at);
        const std::string_view type = png.substr(at + 4, 4);
        if (type == "IEND")
            return failure(std::string(kNoSession));
        if (length > png.size() || at + 12 + std::size_t{length} > png.size())
            return failure("the file is truncated");
        const std::string_view data = png.substr(at + 8, length);
        if (type == "iTXt" && data.substr(0, keyword.size()) == keyword) {
            if (bigEndian32(png, at + 8 + length) != crcOf(png.substr(at + 4, 4 + std::size_t{length})))
                return damaged("its checksum does not match");
            std::string_view rest = data.substr(keyword.size());
            if (rest.size() < 2)
                return damaged("the chunk is cut short");
            const bool compressed = rest[0] == 1;
            rest.remove_prefix(2);
            for (int field = 0; field < 2; ++field) { // language tag, translated keyword
                const std::size_t nul = rest.find('\0');
                if (nul == std::string_view::npos)
                    return damaged("the chunk is cut short");
                rest.remove_prefix(nul + 1);
            }
            if (!compressed)
                return parseEmbeddedRecord(rest);
            const std::optional<std::string> text = inflated(rest);
            if (!text)
                return damaged("it does not decompress");
            return parseEmbeddedRecord(*text);
        }
        at += 12 + std::size_t{length};
    }
}

// ---- SVG: a metadata element just inside the root.

std::string svgWithRecord(std::string_view svg, const std::string& recordText)
{
    const std::string element = kSvgOpen + escapeXml(recordText) + std::string(kSvgClose);
    // A record already there is replaced: a figure carries one.
    if (const std::size_t open = svg.find(kSvgOpen); open != std::string_view::npos) {
        const std::size_t close = svg.find(kSvgClose, open + kSvgOpen.size());
        if (close == std::string_view::npos)
            return {};
        return std::string(svg.substr(0, open)) + element + std::string(svg.substr(close + kSvgClose.size()));
    }
    const std::size_t root = svg.find("<svg");
    const std::size_t end = root == std::string_view::npos ? root : svg.find('>', root);
    // The root's start tag must close before another tag opens, or the
    // element would land inside that one.
    if (end == std::string_view::npos || svg.substr(root + 1, end - root - 1).find('<') != std::string_view::npos)
        return {};
    return std::string(svg.substr(0, end + 1)) + "\n" + element + std::string(svg.substr(end + 1));
}

// ---- GIF: a comment extension before the trailer.

// Where the trailer is, walking the blocks; npos when the file ends first.
std::size_t gifTrailer(std::string_view gif, std::optional<std::string>* comment = nullptr)
{
    if (gif.size() < 13)
        return std::string_view::npos;
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(gif[at]); };
    const auto colourTable = [](unsigned flags) { return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0u; };
    // Sub-blocks from `at` to the empty one; their data when wanted.
    const auto subBlocks = [&](std::size_t at, std::string* data) -> std::size_t {
        while (at < gif.size() && byte(at) != 0) {
            const std::size_t length = byte(at);
            if (data && at + 1 + length <= gif.size())
                data->append(gif.substr(at + 1, length));
            at += 1 + length;
        }
        return at < gif.size() ? at + 1 : std::string_view::npos;
    };
    std::size_t at = 13 + colourTable(byte(10));
    while (at < gif.size()) {
        switch (byte(at)) {
        case 0x3b: return at;
        case 0x21: {
            if (at + 2 > gif.size())
                return std::string_view::npos;
            std::string data;
            const bool isComment = byte(at + 1) == 0xfe;
            at = subBlocks(at + 2, isComment ? &data : nullptr);
            if (at == std::string_view::npos)
                return at;
            if (isComment && comment && !*comment && data.compare(0, kGifCommentHead.size(), kGifCommentHead) == 0)
                *comment = data.substr(kGifCommentHead.size());
            break;
        }
        case 0x2c:
            if (at + 11 > gif.size())
                return std::string_view::npos;
            at = subBlocks(at + 11 + colourTable(byte(at + 9)), nullptr); // after the LZW code size
            if (at == std::string_view::npos)
                return at;
            break;
        default: return std::string_view::npos;
        }
    }
    return std::string_view::npos;
}

std::string gifWithRecord(std::string_view gif, const std::string& recordText)
{
    const std::size_t trailer = gifTrailer(gif);
    if (trailer == std::string_view::npos)
        return {};
    return std::string(gif.substr(0, trailer)) + gifCommentExtension(recordText) + std::string(gif.substr(trailer));
}

EmbeddedParseResult gifRecord(std::string_view gif)
{
    std::optional<std::string> comment;
    const std::size_t trailer = gifTrailer(gif, &comment);
    if (comment)
        return parseEmbeddedRecord(*comment);
    return failure(trailer == std::string_view::npos ? "the file is truncated" : std::string(kNoSession));
}

// ---- MP4: the "comment" tag, which the muxer keeps as moov/udta/meta/ilst/©cmt/data.

struct Box {
    std::string_view type;
    std::string_view body;
};

std::optional<Box> childBox(std::string_view parent, std::string_view type)
{
    for (std::size_t at = 0; at + 8 <= parent.size();) {
        std::uint64_t size = bigEndian32(parent, at);
        std::size_t header = 8;
        if (size == 1) {
            if (at + 16 > parent.size())
                return std::nullopt;
            size = (std::uint64_t{bigEndian32(parent, at + 8)} << 32) | bigEndian32(parent, at + 12);
            header = 16;
        } else if (size == 0) {
            size = parent.size() - at;
        }
        if (size < header || size > parent.size() - at)
            return std::nullopt;
        const Box box{parent.substr(at + 4, 4), parent.substr(at + header, static_cast<std::size_t>(size) - header)};
        if (box.type == type)
            return box;
        at += static_cast<std::size_t>(size);
    }
    return std::nullopt;
}

EmbeddedParseResult mp4Record(std::string_view mp4)
{
    std::optional<Box> box = childBox(mp4, "moov");
    if (!box)
        return failure("the file is truncated or has no movie header");
    for (std::string_view type : {"udta", "meta", "ilst", "\xa9" "cmt", "data"}) {
        if (type == "ilst" && box->body.size() >= 4)
            box->body.remove_prefix(4); // meta is a full box: version and flags
        box = childBox(box->body, type);
        if (!box)
            return failure(std::string(kNoSession));
    }
    if (box->body.size() < 8)
        return damaged("the tag is cut short");
    const std::string_view text = box->body.substr(8); // type and locale
    if (text.compare(0, 2, "{\"") != 0)
        return failure(std::string(kNoSession)); // someone else's comment
    return parseEmbeddedRecord(text);
}

// ---- WebM: the "COMMENT" tag, a SimpleTag's TagName followed by its TagString.

EmbeddedParseResult webmRecord(std::string_view webm)
{
    constexpr std::string_view kName("\x45\xa3\x87" "COMMENT", 10);
    for (std::size_t at = webm.find(kName); at != std::string_view::npos; at = webm.find(kName, at + 1)) {
        std::size_t next = at + kName.size();
        if (webm.substr(next, 2) != "\x44\x87")
            continue;
        next += 2;
        if (next >= webm.size())
            break;
        // The size is a variable-length integer: its first byte's leading zeros give its length.
        const auto first = static_cast<unsigned char>(webm[next]);
        int length = 1;
        while (length <= 8 && !(first & (0x80 >> (length - 1))))
            ++length;
        if (length > 8 || next + static_cast<std::size_t>(length) > webm.size())
            break;
        std::uint64_t size = first & (0xff >> length);
        for (int i = 1; i < length; ++i)
            size = (size << 8) | static_cast<unsigned char>(webm[next + static_cast<std::size_t>(i)]);
        next += static_cast<std::size_t>(length);
        if (size > webm.size() - next)
            return failure("the file is truncated");
        const std::string_view text = webm.substr(next, static_cast<std::size_t>(size));
        if (text.compare(0, 2, "{\"") == 0)
            return parseEmbeddedRecord(text);
    }
    return failure(std::string(kNoSession));
}

enum class Kind { Png, Svg, Pdf, Gif, Mp4, WebM, Other };

Kind kindOf(std::string_view bytes)
{
    if (bytes.substr(0, kPngSignature.size()) == kPngSignature)
        return Kind::Png;
    if (bytes.substr(0, 5) == "%PDF-")
        return Kind::Pdf;
    if (bytes.substr(0, 6) == "GIF89a" || bytes.substr(0, 6) == "GIF87a")
        return Kind::Gif;
    if (bytes.size() >= 8 && bytes.substr(4, 4) == "ftyp")
        return Kind::Mp4;
    if (bytes.substr(0, 4) == "\x1a\x45\xdf\xa3")
        return Kind::WebM;
    std::string_view head = bytes.substr(0, 4096);
    if (head.substr(0, 3) == "\xef\xbb\xbf")
        head.remove_prefix(3);
    head.remove_prefix(std::min(head.size(), head.find_first_not_of(" \t\r\n")));
    if ((head.substr(0, 5) == "<?xml" || head.substr(0, 4) == "<svg") && head.find("<svg") != std::string_view::npos)
        return Kind::Svg;
    return Kind::Other;
}

} // namespace

EmbeddedParseResult readEmbeddedBytes(std::string_view bytes)
{
    switch (kindOf(bytes)) {
    case Kind::Png: return pngRecord(bytes);
    case Kind::Svg: return xmlElement(bytes, kSvgOpen, kSvgClose);
    case Kind::Pdf: return xmlElement(bytes, kXmpOpen, kXmpClose);
    case Kind::Gif: return gifRecord(bytes);
    case Kind::Mp4: return mp4Record(bytes);
    case Kind::WebM: return webmRecord(bytes);
    case Kind::Other: break;
    }
    return failure("not a figure or movie (PNG, SVG, PDF, GIF, MP4 or WebM)");
}

EmbeddedParseResult readEmbedded(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return failure(path + ": cannot be read: " + std::strerror(errno));
    const std::streamoff size = in.tellg();
    const auto readAt = [&](std::streamoff at, std::streamoff length) {
        std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(0, length)), '\0');
        in.seekg(at);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
        in.clear();
        return bytes;
    };
    std::string bytes = readAt(0, std::min<std::streamoff>(size, 16));
    const bool movie = kindOf(bytes) == Kind::Mp4;
    if (movie) {
        // Only the movie's header box is read: the frames may be gigabytes.
        bytes.clear();
        for (std::streamoff at = 0; at + 8 <= size;) {
            const std::string header = readAt(at, 16);
            std::uint64_t length = bigEndian32(header, 0);
            if (length == 1 && header.size() == 16)
                length = (std::uint64_t{bigEndian32(header, 8)} << 32) | bigEndian32(header, 12);
            else if (length == 0)
                length = static_cast<std::uint64_t>(size - at);
            if (length < 8 || length > static_cast<std::uint64_t>(size - at))
                break;
            if (header.compare(4, 4, "moov") == 0) {
                if (length > kMaxMovieHeaderBytes)
                    return failure(path + ": its movie header is too large");
                bytes = readAt(at, static_cast<std::streamoff>(length));
                break;
            }
            at += static_cast<std::streamoff>(length);
        }
    } else if (size > static_cast<std::streamoff>(kMaxPictureBytes)) {
        return failure(path + ": too large for a figure");
    } else {
        bytes = readAt(0, size);
    }
    if (in.bad())
        return failure(path + ": cannot be read: " + std::strerror(errno));
    EmbeddedParseResult result = movie ? mp4Record(bytes) : readEmbeddedBytes(bytes);
    if (!result.ok())
        result.error = path + ": " + result.error;
    return result;
}

bool isFigureOrMovie(const std::string& path)
{
    std::string head(4096, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return kindOf(head) != Kind::Other;
}

SessionReadResult readSessionOrFigure(const std::string& path)
{
    if (!isFigureOrMovie(path))
        return readSessionFile(path);
    const EmbeddedParseResult embedded = readEmbedded(path);
    if (!embedded.ok())
        return {std::nullopt, embedded.error, {}};
    SessionReadResult read = parseSession(embedded.record->sessionText);
    if (!read.ok())
        read.error = path + ": " + read.error;
    return read;
}

std::string withEmbeddedRecord(std::string_view bytes, const std::string& recordText)
{
    switch (kindOf(bytes)) {
    case Kind::Png: return pngWithRecord(bytes, recordText);
    case Kind::Svg: return svgWithRecord(bytes, recordText);
    case Kind::Gif: return gifWithRecord(bytes, recordText);
    default: return {};
    }
}

std::string gifCommentExtension(const std::string& recordText)
{
    const std::string text = kGifCommentHead + recordText;
    std::string out = "\x21\xfe";
    for (std::size_t at = 0; at < text.size(); at += 255) {
        const std::size_t length = std::min<std::size_t>(255, text.size() - at);
        out += static_cast<char>(length);
        out.append(text, at, length);
    }
    out += '\0';
    return out;
}

std::string pdfXmpPacket(const std::string& title, const std::string& creator, const std::string& recordText)
{
    return "<?xpacket begin=\"\xef\xbb\xbf\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
           " xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmlns:cosmophase=\"https://cosmophase.github.io/ns/figure/1/\">\n"
           "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" +
           escapeXml(title) + "</rdf:li></rdf:Alt></dc:title>\n<xmp:CreatorTool>" + escapeXml(creator) +
           "</xmp:CreatorTool>\n" + std::string(kXmpOpen) + escapeXml(recordText) + std::string(kXmpClose) +
           "\n</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end=\"w\"?>";
}

} // namespace cosmophase

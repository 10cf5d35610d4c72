#include "MovieEncoder.h"

#include "AtomicWrite.h"
#include "EmbeddedRecord.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

#include <cstdio>
#include <string_view>

namespace cosmophase {

namespace {

std::string avError(const char* what, int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return std::string(what) + ": " + text;
}

// The muxer writes through these into the atomic writer's temporary file.
struct Output {
    AtomicFileWriter* file = nullptr;
    std::int64_t position = 0;
    std::int64_t size = 0;
};

int writePacket(void* opaque, uint8_t* data, int length)
{
    auto* out = static_cast<Output*>(opaque);
    if (!out->file->append(std::string_view(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length))))
        return AVERROR(EIO);
    out->position += length;
    out->size = std::max(out->size, out->position);
    return length;
}

std::int64_t seekOutput(void* opaque, std::int64_t offset, int whence)
{
    auto* out = static_cast<Output*>(opaque);
    std::int64_t target = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return out->size;
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = out->position + offset; break;
    case SEEK_END: target = out->size + offset; break;
    default: return AVERROR(EINVAL);
    }
    if (target < 0 || !out->file->seek(static_cast<std::uint64_t>(target)))
        return AVERROR(EIO);
    out->position = target;
    return target;
}

struct FormatNames {
    const char* muxer;
    const char* encoder;
    AVPixelFormat pixels;
};

FormatNames namesOf(MovieFormat format)
{
    switch (format) {
    case MovieFormat::Mp4: return {"mp4", "libx264", AV_PIX_FMT_YUV420P};
    case MovieFormat::WebM: return {"webm", "libvpx-vp9", AV_PIX_FMT_YUV420P};
    case MovieFormat::Gif: return {"gif", "gif", AV_PIX_FMT_PAL8};
    }
    return {"mp4", "libx264", AV_PIX_FMT_YUV420P};
}

} // namespace

struct MovieEncoder::State {
    ~State()
    {
        avcodec_free_context(&codec);
        if (muxer)
            avformat_free_context(muxer);
        if (io)
            av_freep(&io->buffer);
        avio_context_free(&io);
        av_packet_free(&packet);
    }

    Output output;
    AVIOContext* io = nullptr;
    AVFormatContext* muxer = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVPacket* packet = nullptr;
    // The GIF muxer writes no tags: this goes before its trailer.
    std::string gifComment;

    // Writes every packet the codec has ready.
    std::string drain()
    {
        for (;;) {
            const int received = avcodec_receive_packet(codec, packet);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return {};
            if (received < 0)
                return avError("cannot encode", received);
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (const int written = av_interleaved_write_frame(muxer, packet); written < 0)
                return avError("cannot write", written);
        }
    }
};

MovieEncoder::MovieEncoder() = default;

MovieEncoder::~MovieEncoder() = default;

QSize MovieEncoder::frameSize(MovieFormat format, QSize size)
{
    if (format == MovieFormat::Gif)
        return size;
    return {(size.width() + 1) / 2 * 2, (size.height() + 1) / 2 * 2};
}

std::string MovieEncoder::open(MovieFormat format, QSize size, int fps, unsigned threads, const MovieTags& tags,
                               AtomicFileWriter& out)
{
    // Failures come back as one line each; FFmpeg's own reports would add more.
    av_log_set_level(AV_LOG_QUIET);
    m_state = std::make_unique<State>();
    State& s = *m_state;
    const FormatNames names = namesOf(format);
    const AVCodec* encoder = avcodec_find_encoder_by_name(names.encoder);
    if (!encoder)
        return std::string("this FFmpeg has no ") + names.encoder + " encoder";
    if (avformat_alloc_output_context2(&s.muxer, nullptr, names.muxer, nullptr) < 0 || !s.muxer)
        return std::string("this FFmpeg cannot write ") + names.muxer;
    s.packet = av_packet_alloc();
    s.codec = avcodec_alloc_context3(encoder);
    s.stream = avformat_new_stream(s.muxer, nullptr);
    if (!s.packet || !s.codec || !s.stream)
        return "out of memory";

    AVCodecContext& codec = *s.codec;
    codec.width = size.width();
    codec.height = size.height();
    codec.pix_fmt = names.pixels;
    codec.time_base = AVRational{1, fps};
    codec.framerate = AVRational{fps, 1};
    codec.thread_count = static_cast<int>(threads);
    if (format != MovieFormat::Gif) {
        codec.colorspace = AVCOL_SPC_SMPTE170M;
        codec.color_range = AVCOL_RANGE_MPEG;
    }
    if (format == MovieFormat::Mp4) {
        // The picture barely changes between frames, so a fast preset loses
        // little (slower ones shrink the file by a few percent at most).
        av_opt_set(codec.priv_data, "preset", "veryfast", 0);
    } else if (format == MovieFormat::WebM) {
        av_opt_set(codec.priv_data, "deadline", "realtime", 0);
        av_opt_set_int(codec.priv_data, "cpu-used", 8, 0);
        av_opt_set_int(codec.priv_data, "row-mt", 1, 0);
        av_opt_set_int(codec.priv_data, "crf", 32, 0);
        codec.bit_rate = 0;
    }
    if (s.muxer->oformat->flags & AVFMT_GLOBALHEADER)
        codec.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (const int opened = avcodec_open2(&codec, encoder, nullptr); opened < 0)
        return avError("cannot open the encoder", opened);
    if (avcodec_parameters_from_context(s.stream->codecpar, &codec) < 0)
        return "out of memory";
    s.stream->time_base = codec.time_base;
    s.stream->avg_frame_rate = codec.framerate;
    for (const auto& [key, value] : tags)
        av_dict_set(&s.muxer->metadata, key.c_str(), value.c_str(), 0);
    if (const auto comment = tags.find("comment"); format == MovieFormat::Gif && comment != tags.end())
        s.gifComment = gifCommentExtension(comment->second);

    constexpr int kBufferSize = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer)
        return "out of memory";
    s.output.file = &out;
    s.io = avio_alloc_context(buffer, kBufferSize, 1, &s.output, nullptr, writePacket, seekOutput);
    if (!s.io) {
        av_free(buffer);
        return "out of memory";
    }
    s.muxer->pb = s.io;
    if (const int header = avformat_write_header(s.muxer, nullptr); header < 0)
        return avError("cannot write", header);
    return {};
}

std::string MovieEncoder::encode(EncoderFrame frame, int index)
{
    State& s = *m_state;
    frame->pts = index;
    if (const int sent = avcodec_send_frame(s.codec, frame.get()); sent < 0)
        return avError("cannot encode", sent);
    return s.drain();
}

std::string MovieEncoder::finish()
{
    State& s = *m_state;
    if (const int sent = avcodec_send_frame(s.codec, nullptr); sent < 0)
        return avError("cannot encode", sent);
    if (std::string error = s.drain(); !error.empty())
        return error;
    if (const int trailer = av_write_trailer(s.muxer); trailer < 0)
        return avError("cannot write", trailer);
    avio_flush(s.io);
    if (!s.gifComment.empty() && s.io->error >= 0) {
        // Over the one-byte trailer, which then follows the comment again.
        if (!s.output.file->seek(static_cast<std::uint64_t>(s.output.size - 1)) ||
            !s.output.file->append(s.gifComment + "\x3b"))
            return "cannot write the comment";
    }
    if (s.io->error < 0)
        return avError("cannot write", s.io->error);
    return {};
}

} // namespace cosmophase

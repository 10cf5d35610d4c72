#pragma once

#include "FrameConverter.h"
#include "MovieRequest.h"

#include <QSize>

#include <map>
#include <memory>
#include <string>

namespace cosmophase {

class AtomicFileWriter;

// Container tags (key, value), e.g. the title. A GIF keeps only the
// "comment", as a comment extension.
using MovieTags = std::map<std::string, std::string>;

// FFmpeg's encoder and muxer for one movie, writing through an atomic file
// writer: H.264 in MP4, VP9 in WebM, or an animated GIF whose palette is
// in each frame (see GifPalette). Frames go in one at a time, in order, on
// one thread; each function returns an error line, empty when it worked.
class MovieEncoder {
public:
    MovieEncoder();
    ~MovieEncoder();
    MovieEncoder(const MovieEncoder&) = delete;
    MovieEncoder& operator=(const MovieEncoder&) = delete;

    // The picture size a format takes for a figure of `size`: 4:2:0 video
    // needs even sides.
    static QSize frameSize(MovieFormat format, QSize size);

    // `out` is open; `threads` 0 lets the codec choose.
    std::string open(MovieFormat format, QSize size, int fps, unsigned threads, const MovieTags& tags,
                     AtomicFileWriter& out);
    std::string encode(EncoderFrame frame, int index);
    // Flushes the codec and writes the container's end.
    std::string finish();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace cosmophase

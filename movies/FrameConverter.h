#pragma once

#include <QImage>

#include <map>
#include <memory>
#include <mutex>
#include <vector>

struct AVFrame;
struct SwsContext;

namespace cosmophase {

struct FrameDeleter {
    void operator()(AVFrame* frame) const;
};
// A picture as an encoder takes it.
using EncoderFrame = std::unique_ptr<AVFrame, FrameDeleter>;

// Turns a frame's RGB32 picture into the encoder's pixel format. convert()
// may be called from several threads at once.
class FrameConverter {
public:
    virtual ~FrameConverter() = default;
    // Null when out of memory.
    virtual EncoderFrame convert(const QImage& image) const = 0;
};

// To planar YUV 4:2:0 (BT.601, limited range), the sides even. Frames of a
// movie differ from one another only around the marker, so each is the
// reference frame's conversion with the rows that differ from it converted
// again: in bands with a margin wide enough that the scaler's chroma filter
// sees what it would see in the whole frame, so the result is the same.
// A scaler cannot serve two threads at once, so each takes one from a pool.
class YuvConverter : public FrameConverter {
public:
    explicit YuvConverter(const QImage& reference);
    YuvConverter(const YuvConverter&) = delete;
    YuvConverter& operator=(const YuvConverter&) = delete;
    ~YuvConverter() override;

    EncoderFrame convert(const QImage& image) const override;

private:
    // Converts rows [top, top + height) of `image` into `frame`'s planes at
    // the same rows; `top` and `height` even.
    bool convertRows(const QImage& image, int top, int height, AVFrame& frame) const;
    EncoderFrame blankFrame(QSize size) const;

    mutable std::mutex m_mutex;
    mutable std::multimap<int, SwsContext*> m_idle; // by the band's height
    QImage m_reference;
    EncoderFrame m_converted;
};

} // namespace cosmophase

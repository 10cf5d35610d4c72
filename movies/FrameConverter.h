#pragma once

#include <QImage>

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

// To planar YUV 4:2:0 (BT.601, limited range), the sides even. Each thread
// takes a scaler from a small pool, since one cannot serve two at once.
class YuvConverter : public FrameConverter {
public:
    YuvConverter() = default;
    YuvConverter(const YuvConverter&) = delete;
    YuvConverter& operator=(const YuvConverter&) = delete;
    ~YuvConverter() override;

    EncoderFrame convert(const QImage& image) const override;

private:
    mutable std::mutex m_mutex;
    mutable std::vector<SwsContext*> m_idle;
};

} // namespace cosmophase

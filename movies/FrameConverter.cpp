#include "FrameConverter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace cosmophase {

void FrameDeleter::operator()(AVFrame* frame) const
{
    av_frame_free(&frame);
}

YuvConverter::~YuvConverter()
{
    for (SwsContext* scaler : m_idle)
        sws_freeContext(scaler);
}

EncoderFrame YuvConverter::convert(const QImage& image) const
{
    EncoderFrame frame(av_frame_alloc());
    if (!frame)
        return {};
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = image.width();
    frame->height = image.height();
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};

    SwsContext* scaler = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_idle.empty()) {
            scaler = m_idle.back();
            m_idle.pop_back();
        }
    }
    // Both Qt's and FFmpeg's RGB32 are 0xffRRGGBB words in native order.
    if (!scaler)
        scaler = sws_getContext(image.width(), image.height(), AV_PIX_FMT_RGB32, image.width(), image.height(),
                                AV_PIX_FMT_YUV420P, SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (!scaler)
        return {};
    const uint8_t* source[] = {image.constBits()};
    const int sourceStride[] = {static_cast<int>(image.bytesPerLine())};
    sws_scale(scaler, source, sourceStride, 0, image.height(), frame->data, frame->linesize);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_idle.push_back(scaler);
    return frame;
}

} // namespace cosmophase

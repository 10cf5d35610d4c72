#include "FrameConverter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace cosmophase {

namespace {

// Rows of context that the chroma filter needs around a converted row, and
// that a changed row's chroma reaches: it reaches fewer.
constexpr int kMargin = 8;
// Bands start and end on these, so that few band heights (and scalers) occur.
constexpr int kBandStep = 16;

void copyRows(const AVFrame& from, AVFrame& to, int fromTop, int toTop, int height)
{
    for (int plane = 0; plane < 3; ++plane) {
        const int shift = plane == 0 ? 0 : 1;
        const int bytes = plane == 0 ? to.width : to.width / 2;
        for (int row = 0; row < height >> shift; ++row)
            std::memcpy(to.data[plane] + static_cast<std::ptrdiff_t>((toTop >> shift) + row) * to.linesize[plane],
                        from.data[plane] + static_cast<std::ptrdiff_t>((fromTop >> shift) + row) * from.linesize[plane],
                        static_cast<std::size_t>(bytes));
    }
}

} // namespace

void FrameDeleter::operator()(AVFrame* frame) const
{
    av_frame_free(&frame);
}

YuvConverter::YuvConverter(const QImage& reference)
    : m_reference(reference)
    , m_converted(blankFrame(reference.size()))
{
    if (m_converted && !convertRows(m_reference, 0, m_reference.height(), *m_converted))
        m_converted.reset();
}

YuvConverter::~YuvConverter()
{
    for (const auto& [height, scaler] : m_idle)
        sws_freeContext(scaler);
}

EncoderFrame YuvConverter::blankFrame(QSize size) const
{
    EncoderFrame frame(av_frame_alloc());
    if (!frame)
        return {};
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = size.width();
    frame->height = size.height();
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    return frame;
}

bool YuvConverter::convertRows(const QImage& image, int top, int height, AVFrame& frame) const
{
    SwsContext* scaler = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (const auto idle = m_idle.find(height); idle != m_idle.end()) {
            scaler = idle->second;
            m_idle.erase(idle);
        }
    }
    // Both Qt's and FFmpeg's RGB32 are 0xffRRGGBB words in native order.
    if (!scaler)
        scaler = sws_getContext(image.width(), height, AV_PIX_FMT_RGB32, image.width(), height, AV_PIX_FMT_YUV420P,
                                SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler)
        return false;
    const uint8_t* source[] = {image.constScanLine(top)};
    const int sourceStride[] = {static_cast<int>(image.bytesPerLine())};
    uint8_t* target[] = {frame.data[0] + static_cast<std::ptrdiff_t>(top) * frame.linesize[0],
                         frame.data[1] + static_cast<std::ptrdiff_t>(top / 2) * frame.linesize[1],
                         frame.data[2] + static_cast<std::ptrdiff_t>(top / 2) * frame.linesize[2], nullptr};
    sws_scale(scaler, source, sourceStride, 0, height, target, frame.linesize);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_idle.emplace(height, scaler);
    return true;
}

EncoderFrame YuvConverter::convert(const QImage& image) const
{
    EncoderFrame frame = blankFrame(image.size());
    if (!frame)
        return {};
    if (!m_converted || image.size() != m_reference.size()) {
        if (!convertRows(image, 0, image.height(), *frame))
            return {};
        return frame;
    }
    av_frame_copy(frame.get(), m_converted.get());

    // Rows that differ from the reference, as [first, last) runs.
    std::vector<std::pair<int, int>> changed;
    const auto rowBytes = static_cast<std::size_t>(image.width()) * 4;
    for (int y = 0; y < image.height(); ++y) {
        if (std::memcmp(image.constScanLine(y), m_reference.constScanLine(y), rowBytes) == 0)
            continue;
        if (!changed.empty() && changed.back().second == y)
            changed.back().second = y + 1;
        else
            changed.emplace_back(y, y + 1);
    }
    // Each run widened by a margin of rows kept (whose chroma the run's rows
    // reach) and one of context beyond it, to whole steps; runs that meet
    // are merged.
    std::vector<std::pair<int, int>> bands;
    for (const auto& [first, last] : changed) {
        const int top = std::max(0, (first - 2 * kMargin) / kBandStep * kBandStep);
        const int bottom =
            std::min(image.height(), (last + 2 * kMargin + kBandStep - 1) / kBandStep * kBandStep);
        if (!bands.empty() && top <= bands.back().second)
            bands.back().second = std::max(bands.back().second, bottom);
        else
            bands.emplace_back(top, bottom);
    }
    // Converted into a scratch frame, of which only the rows away from the
    // band's cut edges (or at the picture's own) are kept.
    EncoderFrame scratch = bands.empty() ? nullptr : blankFrame(image.size());
    for (const auto& [top, bottom] : bands) {
        if (!scratch || !convertRows(image, top, bottom - top, *scratch))
            return {};
        const int keepTop = top == 0 ? 0 : top + kMargin;
        const int keepBottom = bottom == image.height() ? bottom : bottom - kMargin;
        copyRows(*scratch, *frame, keepTop, keepTop, keepBottom - keepTop);
    }
    return frame;
}

} // namespace cosmophase

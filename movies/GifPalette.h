#pragma once

#include "FrameConverter.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace cosmophase {

// An animated GIF's 256 colours, made for its frames from a few of them,
// taken one at a time (every colour when they hold no more than 255, else a
// median cut weighted by how often each occurs), and the conversion of
// frames to it. The last
// entry is transparent: the GIF encoder marks with it the pixels that did
// not change since the frame before.
class GifPalette : public FrameConverter {
public:
    static constexpr int kSampleFrames = 16;
    static constexpr int kColours = 255;

    // `sample(i)` draws the i-th of `sampleCount` frames; the first is kept
    // as the reference most pixels of a frame are looked up in.
    GifPalette(int sampleCount, const std::function<QImage(int)>& sample);

    // As 0xAARRGGBB, the way FFmpeg takes a palette.
    const std::array<std::uint32_t, 256>& colours() const { return m_palette; }
    // The entry drawn for an RGB32 pixel: its own where the samples had it.
    std::uint8_t indexOf(QRgb pixel) const;

    EncoderFrame convert(const QImage& image) const override;

private:
    std::uint8_t nearest(QRgb pixel) const;

    std::array<std::uint32_t, 256> m_palette{};
    int m_used = 0;
    std::unordered_map<QRgb, std::uint8_t> m_exact;
    // For a colour the samples lacked: the nearest entry by 5 bits a channel.
    std::vector<std::uint8_t> m_coarse;
    // Most of a frame is the first sample's pixels: their entries, reused.
    QImage m_reference;
    std::vector<std::uint8_t> m_referenceIndices;
};

} // namespace cosmophase

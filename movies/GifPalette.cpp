#include "GifPalette.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>
#include <cstring>
#include <utility>

namespace cosmophase {

namespace {

struct Box {
    std::vector<std::pair<QRgb, std::uint64_t>> colours; // with their counts
};

int channel(QRgb colour, int c)
{
    return c == 0 ? qRed(colour) : c == 1 ? qGreen(colour) : qBlue(colour);
}

// The channel with the widest spread in the box, and that spread.
std::pair<int, int> widest(const Box& box)
{
    int best = 0;
    int spread = -1;
    for (int c = 0; c < 3; ++c) {
        const auto [low, high] = std::minmax_element(box.colours.begin(), box.colours.end(),
                                                     [c](const auto& a, const auto& b) {
                                                         return channel(a.first, c) < channel(b.first, c);
                                                     });
        const int range = channel(high->first, c) - channel(low->first, c);
        if (range > spread) {
            spread = range;
            best = c;
        }
    }
    return {best, spread};
}

// Splits boxes until there are `count`, each time the one with the widest
// spread, at the median of its pixels along that channel.
std::vector<Box> medianCut(Box all, int count)
{
    std::vector<Box> boxes{std::move(all)};
    while (static_cast<int>(boxes.size()) < count) {
        auto chosen = boxes.end();
        int chosenSpread = 0;
        int chosenChannel = 0;
        for (auto box = boxes.begin(); box != boxes.end(); ++box) {
            if (box->colours.size() < 2)
                continue;
            const auto [c, spread] = widest(*box);
            if (spread > chosenSpread) {
                chosen = box;
                chosenSpread = spread;
                chosenChannel = c;
            }
        }
        if (chosen == boxes.end())
            break;
        auto& colours = chosen->colours;
        std::sort(colours.begin(), colours.end(), [c = chosenChannel](const auto& a, const auto& b) {
            return channel(a.first, c) < channel(b.first, c);
        });
        std::uint64_t total = 0;
        for (const auto& entry : colours)
            total += entry.second;
        std::uint64_t seen = 0;
        std::size_t split = 1;
        for (; split < colours.size() - 1; ++split) {
            seen += colours[split - 1].second;
            if (seen * 2 >= total)
                break;
        }
        Box upper{{colours.begin() + static_cast<std::ptrdiff_t>(split), colours.end()}};
        colours.resize(split);
        boxes.push_back(std::move(upper));
    }
    return boxes;
}

QRgb weightedMean(const Box& box)
{
    std::uint64_t sum[3] = {};
    std::uint64_t total = 0;
    for (const auto& [colour, count] : box.colours) {
        for (int c = 0; c < 3; ++c)
            sum[c] += static_cast<std::uint64_t>(channel(colour, c)) * count;
        total += count;
    }
    if (total == 0)
        return qRgb(255, 255, 255);
    return qRgb(static_cast<int>((sum[0] + total / 2) / total), static_cast<int>((sum[1] + total / 2) / total),
                static_cast<int>((sum[2] + total / 2) / total));
}

int distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

GifPalette::GifPalette(int sampleCount, const std::function<QImage(int)>& sample)
{
    std::unordered_map<QRgb, std::uint64_t> histogram;
    for (int i = 0; i < sampleCount; ++i) {
        const QImage image = sample(i);
        if (i == 0)
            m_reference = image;
        for (int y = 0; y < image.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                ++histogram[row[x] | 0xff000000u];
        }
    }
    Box all;
    all.colours.assign(histogram.begin(), histogram.end());
    // A fixed order, so that the same frames give the same file.
    std::sort(all.colours.begin(), all.colours.end());
    std::vector<Box> boxes = medianCut(std::move(all), kColours);
    m_used = static_cast<int>(boxes.size());
    for (int i = 0; i < m_used; ++i)
        m_palette[static_cast<std::size_t>(i)] = weightedMean(boxes[static_cast<std::size_t>(i)]);
    // Unused entries opaque, so that only the last one reads as transparent.
    for (int i = m_used; i < kColours; ++i)
        m_palette[static_cast<std::size_t>(i)] = 0xff000000u;
    m_palette[kColours] = 0;

    for (const auto& [colour, count] : histogram)
        m_exact.emplace(colour, nearest(colour));
    m_coarse.resize(1 << 15);
    for (int i = 0; i < (1 << 15); ++i)
        m_coarse[static_cast<std::size_t>(i)] =
            nearest(qRgb(((i >> 10) & 31) << 3 | 4, ((i >> 5) & 31) << 3 | 4, (i & 31) << 3 | 4));

    m_referenceIndices.reserve(static_cast<std::size_t>(m_reference.width()) * m_reference.height());
    for (int y = 0; y < m_reference.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(m_reference.constScanLine(y));
        for (int x = 0; x < m_reference.width(); ++x)
            m_referenceIndices.push_back(indexOf(row[x]));
    }
}

std::uint8_t GifPalette::nearest(QRgb pixel) const
{
    int best = 0;
    int bestDistance = distance(pixel, m_palette[0]);
    for (int i = 1; i < m_used; ++i) {
        const int d = distance(pixel, m_palette[static_cast<std::size_t>(i)]);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::uint8_t GifPalette::indexOf(QRgb pixel) const
{
    pixel |= 0xff000000u;
    if (const auto found = m_exact.find(pixel); found != m_exact.end())
        return found->second;
    return m_coarse[static_cast<std::size_t>((qRed(pixel) >> 3) << 10 | (qGreen(pixel) >> 3) << 5 | qBlue(pixel) >> 3)];
}

EncoderFrame GifPalette::convert(const QImage& image) const
{
    EncoderFrame frame(av_frame_alloc());
    if (!frame)
        return {};
    frame->format = AV_PIX_FMT_PAL8;
    frame->width = image.width();
    frame->height = image.height();
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    std::memcpy(frame->data[1], m_palette.data(), sizeof m_palette);
    const bool likeReference = image.size() == m_reference.size();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* out = frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
        if (!likeReference) {
            for (int x = 0; x < image.width(); ++x)
                out[x] = indexOf(row[x]);
            continue;
        }
        const auto* reference = reinterpret_cast<const QRgb*>(m_reference.constScanLine(y));
        const std::uint8_t* indices = m_referenceIndices.data() + static_cast<std::ptrdiff_t>(y) * image.width();
        for (int x = 0; x < image.width(); ++x)
            out[x] = row[x] == reference[x] ? indices[x] : indexOf(row[x]);
    }
    return frame;
}

} // namespace cosmophase

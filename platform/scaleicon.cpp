#include "scaleicon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace platform {

namespace {

struct Taps
{
    int first = 0;
    std::vector<float> weights;
};

// Shrinking averages each target pixel's footprint, every source pixel
// weighted by how much of it the footprint covers; enlarging interpolates
// between the two nearest source pixels.
std::vector<Taps> ComputeTaps(int sourceLength, int targetLength)
{
    const double scale = static_cast<double>(sourceLength) / targetLength;
    std::vector<Taps> taps(static_cast<std::size_t>(targetLength));
    for (int o = 0; o < targetLength; ++o) {
        Taps &t = taps[static_cast<std::size_t>(o)];
        if (scale > 1.0) {
            const double from = o * scale;
            const double to = std::min<double>(sourceLength, (o + 1) * scale);
            t.first = std::clamp(static_cast<int>(std::floor(from)), 0, sourceLength - 1);
            for (int i = t.first; i < sourceLength && i < to; ++i) {
                const double covered = std::min<double>(i + 1, to) - std::max<double>(i, from);
                t.weights.push_back(static_cast<float>(std::max(0.0, covered) / (to - from)));
            }
            continue;
        }
        const double centre = std::clamp((o + 0.5) * scale - 0.5, 0.0, sourceLength - 1.0);
        t.first = static_cast<int>(std::floor(centre));
        const double far = centre - t.first;
        t.weights.push_back(static_cast<float>(1.0 - far));
        if (far > 0 && t.first + 1 < sourceLength)
            t.weights.push_back(static_cast<float>(far));
    }
    return taps;
}

// Per pixel: opacity-weighted r, g, b; opacity; plain r, g, b; mask coverage.
using Channels = std::array<float, 8>;

} // namespace

Icon ScaleIcon(const Icon &source, int width, int height)
{
    if (source.IsNull() || width <= 0 || height <= 0)
        return {};
    const int sw = source.Width();
    const int sh = source.Height();
    const bool colour = source.HasColourImage();
    const bool hasAlpha = colour && source.HasAlpha();

    const auto xTaps = ComputeTaps(sw, width);
    const auto yTaps = ComputeTaps(sh, height);

    // Horizontal pass into sh rows of width pixels.
    std::vector<Channels> rows(static_cast<std::size_t>(sh) * static_cast<std::size_t>(width));
    for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < width; ++x) {
            Channels acc{};
            const Taps &t = xTaps[static_cast<std::size_t>(x)];
            for (std::size_t k = 0; k < t.weights.size(); ++k) {
                const int sx = t.first + static_cast<int>(k);
                // A mask-only icon scales as black under its mask.
                const std::uint32_t p = colour ? source.Pixel(sx, y) : 0u;
                const bool masked = source.MaskBit(sx, y);
                const float r = static_cast<float>((p >> 16) & 0xFF);
                const float g = static_cast<float>((p >> 8) & 0xFF);
                const float b = static_cast<float>(p & 0xFF);
                const float opacity =
                    hasAlpha ? static_cast<float>(p >> 24) / 255.0f : (masked ? 0.0f : 1.0f);
                const float w = t.weights[k];
                acc[0] += w * opacity * r;
                acc[1] += w * opacity * g;
                acc[2] += w * opacity * b;
                acc[3] += w * opacity;
                acc[4] += w * r;
                acc[5] += w * g;
                acc[6] += w * b;
                acc[7] += masked ? w : 0.0f;
            }
            rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)] = acc;
        }
    }

    Icon out(width, height);
    const auto toByte = [](float v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    for (int y = 0; y < height; ++y) {
        const Taps &t = yTaps[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            Channels acc{};
            for (std::size_t k = 0; k < t.weights.size(); ++k) {
                const Channels &c = rows[static_cast<std::size_t>(t.first + static_cast<int>(k)) *
                                             static_cast<std::size_t>(width) +
                                         static_cast<std::size_t>(x)];
                for (std::size_t i = 0; i < c.size(); ++i)
                    acc[i] += t.weights[k] * c[i];
            }
            std::uint32_t r, g, b;
            if (acc[3] > 1e-4f) {
                r = toByte(acc[0] / acc[3]);
                g = toByte(acc[1] / acc[3]);
                b = toByte(acc[2] / acc[3]);
            } else {
                r = toByte(acc[4]);
                g = toByte(acc[5]);
                b = toByte(acc[6]);
            }
            const std::uint32_t a = hasAlpha ? toByte(acc[3] * 255.0f) : 0u;
            out.SetPixel(x, y, (a << 24) | (r << 16) | (g << 8) | b);
            if (acc[7] >= 0.5f)
                out.SetMaskBit(x, y, true);
        }
    }
    return out;
}

} // namespace platform

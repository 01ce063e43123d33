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

std::vector<Taps> ComputeTaps(int sourceLength, int targetLength)
{
    const double scale = static_cast<double>(sourceLength) / targetLength;
    const double support = std::max(1.0, scale);
    std::vector<Taps> taps(static_cast<std::size_t>(targetLength));
    for (int o = 0; o < targetLength; ++o) {
        const double centre = (o + 0.5) * scale - 0.5;
        const int lo = std::max(0, static_cast<int>(std::ceil(centre - support)));
        const int hi = std::min(sourceLength - 1, static_cast<int>(std::floor(centre + support)));
        Taps &t = taps[static_cast<std::size_t>(o)];
        t.first = lo;
        double sum = 0;
        for (int i = lo; i <= hi; ++i) {
            const double w = std::max(0.0, 1.0 - std::abs(i - centre) / support);
            t.weights.push_back(static_cast<float>(w));
            sum += w;
        }
        if (sum <= 0) { // cannot happen for sane lengths; fall back to nearest
            t.first = std::clamp(static_cast<int>(std::lround(centre)), 0, sourceLength - 1);
            t.weights.assign(1, 1.0f);
            continue;
        }
        for (float &w : t.weights)
            w = static_cast<float>(w / sum);
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
    const bool hasAlpha = source.HasAlpha();

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
                const std::uint32_t p = source.Pixel(sx, y);
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

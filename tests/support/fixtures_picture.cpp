// Test pictures drawn in code.

#include "fixtures.h"
#include "fixtures_bytes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fixtures {

using namespace detail;

namespace {

// A well-mixed hash, so that patterns have no symmetry that a flipped or
// shifted row could hide behind.
std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Entry 0 is black (alpha 0 with alpha), the border colour; with one bit the
// other entry is white, as in a monochrome icon.
std::vector<std::uint32_t> MakePalette(int bits, std::uint32_t seed, bool withAlpha)
{
    const std::uint32_t count = 1u << bits;
    std::vector<std::uint32_t> palette(count, 0);
    for (std::uint32_t i = 1; i < count; ++i) {
        std::uint32_t rgb = 0xFFFFFF;
        if (count > 2) {
            // Red alone keeps the entries distinct and different from black.
            const std::uint32_t r = i * 255 / (count - 1);
            const std::uint32_t g = (i * 73 + seed * 41) & 0xFF;
            const std::uint32_t b = (i * 151 + seed * 17) & 0xFF;
            rgb = r << 16 | g << 8 | b;
        }
        std::uint32_t alpha = 0;
        if (withAlpha) {
            alpha = count == 2 ? 255 : 64 + 191 * (i - 1) / (count - 2);
        }
        palette[i] = alpha << 24 | rgb;
    }
    return palette;
}

} // namespace

std::size_t detail::CheckedPixelCount(const Picture &picture)
{
    Require(picture.width > 0 && picture.height > 0, "picture has no pixels");
    const std::size_t count =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    Require(picture.argb.size() == count && picture.mask.size() == count,
            "picture buffers do not match its size");
    return count;
}

Picture SolidPicture(int side, std::uint32_t rgb)
{
    Picture p;
    p.width = p.height = side;
    const auto pixels = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
    p.argb.assign(pixels, 0xFF000000u | rgb);
    p.mask.assign(pixels, 0);
    return p;
}

Picture DrawPicture(int width, int height, int seed, bool withAlpha, int paletteBits)
{
    Require(width > 0 && height > 0, "picture needs a positive size");
    Require(paletteBits >= 0 && paletteBits <= 8, "paletteBits must be 0 to 8");
    const auto s = static_cast<std::uint32_t>(seed);
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);

    Picture picture;
    picture.width = width;
    picture.height = height;
    // Everything starts as the border: black, alpha 0, transparent.
    picture.argb.assign(static_cast<std::size_t>(w) * h, 0);
    picture.mask.assign(static_cast<std::size_t>(w) * h, 1);

    const std::vector<std::uint32_t> palette =
        paletteBits > 0 ? MakePalette(paletteBits, s, withAlpha) : std::vector<std::uint32_t>{};
    // With alpha the inside keeps clear of the border's fully transparent
    // black unless black and white are all there is.
    const std::uint32_t firstInside = withAlpha && palette.size() > 2 ? 1 : 0;
    const std::uint32_t insideSpan = w + h > 6 ? w + h - 6 : 1;

    for (std::uint32_t y = 1; y + 1 < h; ++y) {
        for (std::uint32_t x = 1; x + 1 < w; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * w + x;
            picture.mask[at] = 0;
            if (!palette.empty()) {
                const auto choices = static_cast<std::uint32_t>(palette.size()) - firstInside;
                picture.argb[at] = palette[firstInside + Mix(x, y, s) % choices];
                continue;
            }
            // Gradients in red and green, tiles of blue.
            const std::uint32_t r = (x * 255 / (w - 1) + s * 53) & 0xFF;
            const std::uint32_t g = (y * 255 / (h - 1) + s * 29) & 0xFF;
            const std::uint32_t b = Mix(x / 4, y / 4, s) & 0xFF;
            // 64 at the top left of the inside up to 255 at its bottom right.
            const std::uint32_t a = withAlpha ? 64 + 191 * (x + y - 2) / insideSpan : 0;
            picture.argb[at] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return picture;
}

} // namespace fixtures

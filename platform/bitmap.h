#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// A device-dependent bitmap as the platform hands them out for an icon's two
// images: colour (0x00RRGGBB or, with alpha, 0xAARRGGBB) or monochrome
// (pixels 0 black, 0xFFFFFF white). Rows top first. Owned by value, so
// deleting it is its destructor.
class Bitmap
{
public:
    Bitmap() = default;
    Bitmap(int width, int height, bool monochrome);
    // A bitmap holding a copy of pixels (width x height of them).
    Bitmap(int width, int height, bool monochrome, std::span<const std::uint32_t> pixels);

    bool IsNull() const { return W == 0 || H == 0; }
    int Width() const { return W; }
    int Height() const { return H; }
    bool Monochrome() const { return Mono; }

    std::uint32_t Pixel(int x, int y) const { return Pixels_[Index(x, y)]; }
    void SetPixel(int x, int y, std::uint32_t value) { Pixels_[Index(x, y)] = value; }
    std::span<const std::uint32_t> Pixels() const { return Pixels_; }

    // A colour bitmap taken from an icon remembers which pixels the icon's
    // mask hides, so that a conversion to a colour table spends no colours
    // on them. Empty when nothing is hidden or nothing is known.
    void SetHidden(std::vector<std::uint8_t> hidden) { Hidden_ = std::move(hidden); }
    std::span<const std::uint8_t> Hidden() const { return Hidden_; }

private:
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(W) +
               static_cast<std::size_t>(x);
    }

    int W = 0;
    int H = 0;
    bool Mono = false;
    std::vector<std::uint32_t> Pixels_;
    std::vector<std::uint8_t> Hidden_;
};

} // namespace platform

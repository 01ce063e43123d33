#include "icon.h"

#include <utility>

namespace platform {

Icon::Icon(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    W = width;
    H = height;
    Colour.assign(static_cast<std::size_t>(W) * static_cast<std::size_t>(H), 0u);
    Mask.assign(static_cast<std::size_t>(MaskStride()) * static_cast<std::size_t>(H), 0u);
}

Icon Icon::WithoutColourImage(int width, int height)
{
    Icon icon(width, height);
    icon.Colour.clear();
    icon.Colour.shrink_to_fit();
    return icon;
}

Icon::Icon(Icon &&other) noexcept
    : W(std::exchange(other.W, 0)), H(std::exchange(other.H, 0)), Colour(std::move(other.Colour)),
      Mask(std::move(other.Mask))
{
    other.Colour.clear();
    other.Mask.clear();
}

Icon &Icon::operator=(Icon &&other) noexcept
{
    if (this != &other) {
        W = std::exchange(other.W, 0);
        H = std::exchange(other.H, 0);
        Colour = std::move(other.Colour);
        Mask = std::move(other.Mask);
        other.Colour.clear();
        other.Mask.clear();
    }
    return *this;
}

void Icon::Reset()
{
    W = H = 0;
    Colour = {};
    Mask = {};
}

bool Icon::HasAlpha() const
{
    for (const std::uint32_t p : Colour)
        if (p >> 24)
            return true;
    return false;
}

void Icon::SetMaskBit(int x, int y, bool transparent)
{
    const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
    std::uint8_t &byte = Mask[MaskOffset(x, y)];
    byte = transparent ? static_cast<std::uint8_t>(byte | bit)
                       : static_cast<std::uint8_t>(byte & ~bit);
}

} // namespace platform

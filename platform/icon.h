#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// What an extracted icon holds: a colour image with straight alpha and the
// 1-bit AND mask. It stands in for the platform's icon handle, so it is
// move-only and destroying it is its destructor. A default-constructed (or
// moved-from) icon is the null handle.
class Icon
{
public:
    Icon() = default;
    // A width x height icon, every pixel 0 (black, no alpha) and opaque.
    Icon(int width, int height);
    Icon(Icon &&other) noexcept;
    Icon &operator=(Icon &&other) noexcept;
    Icon(const Icon &) = delete;
    Icon &operator=(const Icon &) = delete;
    ~Icon() = default;

    // An icon that has a mask but no colour image, as monochrome icons can
    // be held by the platform. Readers never make one; writers must cope.
    static Icon WithoutColourImage(int width, int height);

    bool IsNull() const { return W == 0 || H == 0; }
    bool HasColourImage() const { return !Colour.empty(); }
    explicit operator bool() const { return !IsNull(); }
    void Reset();

    int Width() const { return W; }
    int Height() const { return H; }

    // Colour pixels as 0xAARRGGBB, top row first (only with a colour image).
    // When no pixel has a non-zero alpha the image has no alpha channel and
    // the mask decides.
    std::uint32_t Pixel(int x, int y) const { return Colour[Index(x, y)]; }
    void SetPixel(int x, int y, std::uint32_t argb) { Colour[Index(x, y)] = argb; }
    std::span<const std::uint32_t> Pixels() const { return Colour; }
    std::span<std::uint32_t> Pixels() { return Colour; }
    bool HasAlpha() const;

    // AND mask, 1 = transparent. Rows top first, pixels from the most
    // significant bit, each row a whole number of 32-bit words.
    bool MaskBit(int x, int y) const { return (Mask[MaskOffset(x, y)] >> (7 - (x & 7))) & 1u; }
    void SetMaskBit(int x, int y, bool transparent);
    int MaskStride() const { return ((W + 31) / 32) * 4; }
    std::span<const std::uint8_t> MaskRows() const { return Mask; }

private:
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(W) +
               static_cast<std::size_t>(x);
    }
    std::size_t MaskOffset(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(MaskStride()) +
               static_cast<std::size_t>(x >> 3);
    }

    int W = 0;
    int H = 0;
    std::vector<std::uint32_t> Colour;
    std::vector<std::uint8_t> Mask;
};

} // namespace platform

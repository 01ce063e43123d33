#pragma once

#include "icon.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// The fields of a device-independent bitmap header that decoding needs.
// Both the 12-byte core header and the 40-byte (and longer) info headers are
// understood.
struct DibHeader
{
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0; // as stored: doubled in icons, negative = top-down
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha for bit fields
    bool bitFields = false;

    std::size_t PaletteEntries() const;
    std::size_t PaletteEntrySize() const { return headerSize == 12 ? 3 : 4; }
    // Where the colour table (or the first row when there is none) starts.
    std::size_t TableOffset() const;
    std::size_t PixelOffset() const
    {
        return TableOffset() + PaletteEntries() * PaletteEntrySize();
    }
};

// Reads and checks a header at the start of bytes: a supported size, a
// positive width, a non-zero height, 1/4/8/16/24/32 bits, uncompressed (or
// bit fields at 16 and 32 bits). Bit-field masks stored after a 40-byte
// header must be inside bytes.
bool ParseDibHeader(std::span<const std::uint8_t> bytes, DibHeader &out);

// Bytes in one row of w pixels at bits per pixel, padded to 32 bits.
inline std::uint64_t DibStride(std::uint64_t width, unsigned bits)
{
    return ((width * bits + 31u) / 32u) * 4u;
}

// Turns stored rows into 0xAARRGGBB pixels. Alpha is kept only where the
// format has it (32 bits plain, or an alpha mask); elsewhere it is 0.
class DibRowDecoder
{
public:
    // bytes starts at the header; the colour table must lie inside it.
    bool Init(const DibHeader &header, std::span<const std::uint8_t> bytes);
    // row holds at least DibStride(width, bitCount) bytes; out has width slots.
    void Decode(std::span<const std::uint8_t> row, std::span<std::uint32_t> out) const;

private:
    DibHeader Header;
    std::array<std::uint32_t, 256> Palette{};
    std::size_t PaletteSize = 0;
    std::array<unsigned, 4> Shift{};
    std::array<std::uint32_t, 4> MaxValue{};
};

// Decodes an icon image stored as a DIB: colour rows for half the stored
// height followed by the AND mask. Returns a null icon when the block is
// malformed or the colour rows are cut short. A missing mask means opaque
// (or, for an image with alpha, transparency taken from alpha).
Icon DecodeIconDib(std::span<const std::uint8_t> block);

} // namespace platform

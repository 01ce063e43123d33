#include "dib.h"

#include "le.h"

#include <bit>

namespace platform {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitFields = 3;

bool SupportedBits(unsigned bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

} // namespace

std::size_t DibHeader::PaletteEntries() const
{
    if (bitCount > 8)
        return 0;
    const std::size_t full = std::size_t{1} << bitCount;
    if (headerSize != 12 && colorsUsed != 0 && colorsUsed < full)
        return colorsUsed;
    return full;
}

std::size_t DibHeader::TableOffset() const
{
    // Masks follow a plain 40-byte header; longer headers carry them inside.
    if (bitFields && headerSize == 40)
        return 52;
    return headerSize;
}

bool ParseDibHeader(std::span<const std::uint8_t> bytes, DibHeader &out)
{
    const LeView v(bytes);
    DibHeader h;
    h.headerSize = v.U32(0);
    if (h.headerSize == 12) {
        if (!v.Has(0, 12))
            return false;
        h.width = v.U16(4);
        h.height = static_cast<std::int16_t>(v.U16(6));
        h.bitCount = v.U16(10);
        if (h.bitCount == 16 || h.bitCount == 32)
            return false; // the core format has no such depths
    } else {
        if (h.headerSize < 40 || h.headerSize > 124 || !v.Has(0, h.headerSize))
            return false;
        h.width = v.I32(4);
        h.height = v.I32(8);
        h.bitCount = v.U16(14);
        h.compression = v.U32(16);
        h.colorsUsed = v.U32(32);
    }
    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN || !SupportedBits(h.bitCount))
        return false;
    if (h.compression == kBiBitFields) {
        if (h.bitCount != 16 && h.bitCount != 32)
            return false;
        h.bitFields = true;
        if (!v.Has(40, 12))
            return false;
        h.masks = {v.U32(40), v.U32(44), v.U32(48), h.headerSize >= 56 ? v.U32(52) : 0u};
    } else if (h.compression != kBiRgb) {
        return false;
    }
    out = h;
    return true;
}

bool DibRowDecoder::Init(const DibHeader &header, std::span<const std::uint8_t> bytes)
{
    Header = header;
    PaletteSize = header.PaletteEntries();
    const std::size_t entrySize = header.PaletteEntrySize();
    const LeView v(bytes);
    if (!v.Has(header.TableOffset(), PaletteSize * entrySize))
        return false;
    Palette.fill(0);
    for (std::size_t i = 0; i < PaletteSize; ++i) {
        const std::size_t at = header.TableOffset() + i * entrySize;
        Palette[i] = Argb(0, v.U8(at + 2), v.U8(at + 1), v.U8(at));
    }
    std::array<std::uint32_t, 4> masks = header.masks;
    if (!header.bitFields && header.bitCount == 16)
        masks = {0x7C00u, 0x03E0u, 0x001Fu, 0u};
    for (std::size_t c = 0; c < 4; ++c) {
        Shift[c] = masks[c] ? static_cast<unsigned>(std::countr_zero(masks[c])) : 0u;
        MaxValue[c] = masks[c] >> Shift[c];
    }
    Header.masks = masks;
    return true;
}

void DibRowDecoder::Decode(std::span<const std::uint8_t> row, std::span<std::uint32_t> out) const
{
    const std::size_t width = out.size();
    const unsigned bits = Header.bitCount;
    if (row.size() < DibStride(width, bits))
        return;
    switch (bits) {
    case 1:
    case 4:
    case 8: {
        const unsigned perByte = 8 / bits;
        const unsigned valueMask = (1u << bits) - 1u;
        for (std::size_t x = 0; x < width; ++x) {
            const unsigned shift = 8 - bits * (static_cast<unsigned>(x % perByte) + 1);
            const unsigned index = (row[x / perByte] >> shift) & valueMask;
            out[x] = index < PaletteSize ? Palette[index] : 0u;
        }
        break;
    }
    case 24:
        for (std::size_t x = 0; x < width; ++x)
            out[x] = Argb(0, row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        break;
    case 16:
    case 32: {
        const bool plain32 = bits == 32 && !Header.bitFields;
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t p;
            if (bits == 16)
                p = static_cast<std::uint32_t>(row[2 * x] | (row[2 * x + 1] << 8));
            else
                p = static_cast<std::uint32_t>(row[4 * x]) | (std::uint32_t{row[4 * x + 1]} << 8) |
                    (std::uint32_t{row[4 * x + 2]} << 16) | (std::uint32_t{row[4 * x + 3]} << 24);
            if (plain32) {
                out[x] = p;
                continue;
            }
            std::uint32_t c[4];
            for (std::size_t i = 0; i < 4; ++i) {
                const std::uint32_t value = (p & Header.masks[i]) >> Shift[i];
                c[i] = MaxValue[i]
                           ? static_cast<std::uint32_t>(
                                 (std::uint64_t{value} * 255u + MaxValue[i] / 2) / MaxValue[i])
                           : 0u;
            }
            out[x] = Argb(c[3], c[0], c[1], c[2]);
        }
        break;
    }
    default:
        break;
    }
}

Icon DecodeIconDib(std::span<const std::uint8_t> block)
{
    DibHeader header;
    if (!ParseDibHeader(block, header) || header.height < 0)
        return {};
    const int width = header.width;
    const int height = header.height / 2; // colour rows, then as many mask rows
    if (height <= 0 || width > limits::kMaxIconSide || height > limits::kMaxIconSide)
        return {};
    DibRowDecoder decoder;
    if (!decoder.Init(header, block))
        return {};

    const LeView v(block);
    const std::size_t colourStride = DibStride(static_cast<std::uint64_t>(width), header.bitCount);
    const std::size_t maskStride = DibStride(static_cast<std::uint64_t>(width), 1);
    const std::size_t colourAt = header.PixelOffset();
    const std::size_t maskAt = colourAt + colourStride * static_cast<std::size_t>(height);
    if (!v.Has(colourAt, colourStride * static_cast<std::size_t>(height)))
        return {};

    Icon icon(width, height);
    auto pixels = icon.Pixels();
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row; // bottom row first
        decoder.Decode(v.Sub(colourAt + colourStride * static_cast<std::size_t>(row), colourStride),
                       pixels.subspan(static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                                      static_cast<std::size_t>(width)));
    }

    const bool hasMask = v.Has(maskAt, maskStride * static_cast<std::size_t>(height));
    const bool hasAlpha = icon.HasAlpha();
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            bool transparent = false;
            if (hasMask)
                transparent = (v.U8(maskAt + maskStride * static_cast<std::size_t>(row) +
                                    static_cast<std::size_t>(x >> 3)) >>
                               (7 - (x & 7))) &
                              1u;
            else if (hasAlpha)
                transparent = (icon.Pixel(x, y) >> 24) < 128;
            if (transparent)
                icon.SetMaskBit(x, y, true);
        }
    }
    return icon;
}

} // namespace platform

#include "dibits.h"

#include "dib.h"
#include "le.h"
#include "palette.h"

#include <cstdlib>

namespace platform {

namespace {

void Put32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Sets pixel x of a zeroed row: at 8 bits and fewer value is a colour
// index, packed from the high bits of each byte; above, value is the pixel's
// 0xAARRGGBB, stored blue first (16 bits: 5-5-5; 32 bits keep alpha).
void PackPixel(std::span<std::uint8_t> row, std::size_t x, unsigned bpp, std::uint32_t value)
{
    if (bpp <= 8) {
        const std::size_t bit = x * bpp;
        row[bit / 8] |= static_cast<std::uint8_t>(value << (8 - bpp - bit % 8));
        return;
    }
    const auto r = static_cast<std::uint8_t>(value >> 16);
    const auto g = static_cast<std::uint8_t>(value >> 8);
    const auto b = static_cast<std::uint8_t>(value);
    if (bpp == 16) {
        const unsigned v = ((r >> 3u) << 10) | ((g >> 3u) << 5) | (b >> 3u);
        row[2 * x] = static_cast<std::uint8_t>(v);
        row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
    } else if (bpp == 24) {
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
    } else {
        row[4 * x] = b;
        row[4 * x + 1] = g;
        row[4 * x + 2] = r;
        row[4 * x + 3] = static_cast<std::uint8_t>(value >> 24);
    }
}

} // namespace

bool GetBitmapSize(const Bitmap &bitmap, int &width, int &height)
{
    if (bitmap.IsNull())
        return false;
    width = bitmap.Width();
    height = bitmap.Height();
    return true;
}

int GetDIBits(const Bitmap &bitmap, int scanLines, std::span<std::uint8_t> bits,
              std::span<std::uint8_t> info)
{
    const LeView header(info);
    if (bitmap.IsNull() || !header.Has(0, 40) || header.U32(0) != 40)
        return 0;
    const int width = header.I32(4);
    const int height = header.I32(8);
    const unsigned bpp = header.U16(14);
    if (width != bitmap.Width() || std::abs(static_cast<long>(height)) != bitmap.Height() ||
        scanLines <= 0 || scanLines > bitmap.Height())
        return 0;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return 0;
    const std::size_t stride =
        static_cast<std::size_t>(DibStride(static_cast<std::uint64_t>(width), bpp));
    const std::size_t entries = bpp <= 8 ? std::size_t{1} << bpp : 0;
    if (bits.size() < stride * static_cast<std::size_t>(scanLines) ||
        info.size() < 40 + 4 * entries)
        return 0;
    const bool bottomUp = height > 0;
    const auto rowOf = [&](int y) {
        // Row y of the picture (top first) lands at this stored row.
        const int stored = bottomUp ? bitmap.Height() - 1 - y : y;
        return stored < scanLines ? bits.subspan(static_cast<std::size_t>(stored) * stride, stride)
                                  : std::span<std::uint8_t>{};
    };

    // At 8 bits and fewer the rows hold indices into a table chosen here.
    IndexedPicture picture;
    if (entries) {
        if (bitmap.Monochrome() && bpp == 1) {
            picture.table = {0x000000u, 0xFFFFFFu};
            picture.indices.reserve(bitmap.Pixels().size());
            for (const std::uint32_t p : bitmap.Pixels())
                picture.indices.push_back((p & 0xFFFFFFu) ? 1 : 0);
        } else {
            picture =
                ReduceColours(bitmap.Pixels(), bitmap.Hidden(), static_cast<unsigned>(entries));
        }
        for (std::size_t i = 0; i < entries; ++i)
            Put32(info, 40 + 4 * i, picture.table[i]); // blue, green, red, 0
    }

    for (int y = 0; y < bitmap.Height(); ++y) {
        const auto row = rowOf(y);
        if (row.empty())
            continue;
        std::fill(row.begin(), row.end(), std::uint8_t{0});
        for (int x = 0; x < width; ++x) {
            const std::uint32_t value =
                entries
                    ? picture
                          .indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x)]
                    : bitmap.Pixel(x, y);
            PackPixel(row, static_cast<std::size_t>(x), bpp, value);
        }
    }
    return scanLines;
}

} // namespace platform

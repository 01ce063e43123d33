// Device-independent bitmaps: the DIB inside an icon image and the .bmp file.

#include "fixtures.h"
#include "fixtures_bytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

namespace fixtures {

using namespace detail;

namespace {

bool IsDibBitCount(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

std::size_t RowBytes(int width, int bitCount)
{
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

// The distinct colours of a picture, sorted (so black comes first and a
// black-and-white picture gets the monochrome table). A colour table has no
// alpha, so alpha is dropped.
std::vector<std::uint32_t> DistinctColours(const Picture &picture, int bitCount)
{
    std::vector<std::uint32_t> colours;
    colours.reserve(picture.argb.size());
    for (const std::uint32_t argb : picture.argb) {
        colours.push_back(argb & 0xFFFFFF);
    }
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    Require(colours.size() <= (std::size_t{1} << bitCount),
            "picture has more colours than the bit count can index");
    return colours;
}

void PutColourTable(Bytes &out, const std::vector<std::uint32_t> &colours, int bitCount)
{
    const std::size_t entries = std::size_t{1} << bitCount;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t rgb = i < colours.size() ? colours[i] : 0;
        Put8(out, rgb);       // blue
        Put8(out, rgb >> 8);  // green
        Put8(out, rgb >> 16); // red
        Put8(out, 0);
    }
}

void PutInfoHeader(Bytes &out, std::uint32_t width, std::uint32_t height, int bitCount,
                   std::size_t imageSize, std::uint32_t coloursUsed, std::uint32_t pixelsPerMetre)
{
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1); // planes
    Put16(out, static_cast<std::uint32_t>(bitCount));
    Put32(out, 0); // BI_RGB
    Put32(out, static_cast<std::uint32_t>(imageSize));
    Put32(out, pixelsPerMetre);
    Put32(out, pixelsPerMetre);
    Put32(out, coloursUsed);
    Put32(out, 0); // all colours important
}

// Colour rows bottom first, each padded to 32 bits; colours is the sorted
// table for 8 bits and fewer.
void PutColourRows(Bytes &out, const Picture &picture, int bitCount,
                   const std::vector<std::uint32_t> &colours)
{
    const std::size_t rowBytes = RowBytes(picture.width, bitCount);
    const auto width = static_cast<std::size_t>(picture.width);
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + rowBytes, 0);
        std::uint8_t *row = out.data() + start;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t argb = picture.argb[static_cast<std::size_t>(y) * width + x];
            const auto a = static_cast<std::uint8_t>(argb >> 24);
            const auto r = static_cast<std::uint8_t>(argb >> 16);
            const auto g = static_cast<std::uint8_t>(argb >> 8);
            const auto b = static_cast<std::uint8_t>(argb);
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const auto found =
                    std::lower_bound(colours.begin(), colours.end(), argb & 0xFFFFFF);
                const auto index = static_cast<unsigned>(found - colours.begin());
                const std::size_t bit = x * static_cast<std::size_t>(bitCount);
                const auto shift = static_cast<unsigned>(8 - bitCount - static_cast<int>(bit % 8));
                row[bit / 8] |= static_cast<std::uint8_t>(index << shift);
                break;
            }
            case 16: {
                // 5-5-5: the top five bits of red, green and blue.
                const std::uint32_t value =
                    (argb >> 19 & 0x1F) << 10 | (argb >> 11 & 0x1F) << 5 | (argb >> 3 & 0x1F);
                row[x * 2] = static_cast<std::uint8_t>(value & 0xFF);
                row[x * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
                break;
            }
            case 24:
                row[x * 3] = b;
                row[x * 3 + 1] = g;
                row[x * 3 + 2] = r;
                break;
            default:
                row[x * 4] = b;
                row[x * 4 + 1] = g;
                row[x * 4 + 2] = r;
                row[x * 4 + 3] = a;
                break;
            }
        }
    }
}

void PutMaskRows(Bytes &out, const Picture &picture)
{
    const std::size_t rowBytes = RowBytes(picture.width, 1);
    const auto width = static_cast<std::size_t>(picture.width);
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + rowBytes, 0);
        for (std::size_t x = 0; x < width; ++x) {
            if (picture.mask[static_cast<std::size_t>(y) * width + x] != 0) {
                out[start + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
    }
}

// Checks a request for a bitmap at bitCount before anything is written.
void CheckBitmapRequest(const Picture &picture, int bitCount)
{
    CheckedPixelCount(picture);
    Require(IsDibBitCount(bitCount), "bit count must be 1, 4, 8, 16, 24 or 32");
}

std::uint32_t TableEntries(int bitCount)
{
    return bitCount <= 8 ? 1u << bitCount : 0;
}

std::size_t ColourBytes(const Picture &picture, int bitCount)
{
    return RowBytes(picture.width, bitCount) * static_cast<std::size_t>(picture.height);
}

// What an icon's DIB and a .bmp file both hold: the 40-byte header (with the
// height it is given), the colour table for 8 bits and fewer, and the colour
// rows bottom first.
void PutBitmap(Bytes &out, const Picture &picture, int bitCount, std::uint32_t headerHeight,
               std::uint32_t pixelsPerMetre)
{
    CheckBitmapRequest(picture, bitCount);
    const bool indexed = bitCount <= 8;
    const std::vector<std::uint32_t> colours =
        indexed ? DistinctColours(picture, bitCount) : std::vector<std::uint32_t>{};
    PutInfoHeader(out, static_cast<std::uint32_t>(picture.width), headerHeight, bitCount,
                  ColourBytes(picture, bitCount), TableEntries(bitCount), pixelsPerMetre);
    if (indexed) {
        PutColourTable(out, colours, bitCount);
    }
    PutColourRows(out, picture, bitCount, colours);
}
} // namespace

Bytes EncodeIconDib(const Picture &picture, int bitCount)
{
    Bytes out;
    // The height counts the colour rows and the mask rows.
    PutBitmap(out, picture, bitCount, 2 * static_cast<std::uint32_t>(picture.height), 0);
    PutMaskRows(out, picture);
    return out;
}

Bytes BuildBmp(const Picture &picture, int bitCount)
{
    CheckBitmapRequest(picture, bitCount);
    const std::size_t pixelsOffset = 14 + 40 + 4 * std::size_t{TableEntries(bitCount)};

    Bytes out;
    Put8(out, 'B');
    Put8(out, 'M');
    Put32(out, static_cast<std::uint32_t>(pixelsOffset + ColourBytes(picture, bitCount)));
    Put32(out, 0); // reserved
    Put32(out, static_cast<std::uint32_t>(pixelsOffset));
    // A positive height: bottom row first. 2835 pixels per metre is 72 dpi.
    PutBitmap(out, picture, bitCount, static_cast<std::uint32_t>(picture.height), 2835);
    return out;
}

} // namespace fixtures

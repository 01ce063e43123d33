#include "iconcontainers.h"

#include "bytesource.h"
#include "dib.h"
#include "iconimage.h"
#include "le.h"

#include <algorithm>
#include <array>
#include <vector>

namespace platform {

namespace {

constexpr std::uint32_t FourCc(char a, char b, char c, char d)
{
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 8) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 16) |
           (static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)) << 24);
}

// Chunks we walk in one RIFF list before calling the file damaged.
constexpr int kMaxRiffChunks = 4096;
// Bitmaps up to this side are decoded whole; larger ones are sampled on a
// grid of this many rows and columns.
constexpr int kWholeBitmapSide = 1024;
constexpr int kSampledBitmapSide = 256;

struct BitmapLayout
{
    DibHeader header;
    std::uint64_t pixelOffset = 0;
    std::uint64_t stride = 0;
    std::vector<std::uint8_t> headerBytes; // info header plus colour table
};

bool ReadBitmapLayout(const ByteSource &source, BitmapLayout &layout)
{
    std::array<std::uint8_t, 14 + 124 + 12> head{};
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(source.Size(), head.size()));
    if (n < 14 + 12 || !source.ReadAt(0, std::span(head).first(n)))
        return false;
    const LeView v{std::span(head).first(n)};
    if (v.U8(0) != 'B' || v.U8(1) != 'M')
        return false;
    if (!ParseDibHeader(v.From(14), layout.header))
        return false;
    const DibHeader &h = layout.header;
    const std::uint64_t tableEnd = 14 + h.PixelOffset();
    if (!source.ReadBlock(14, h.PixelOffset(), layout.headerBytes, 64 * 1024))
        return false;
    const std::uint32_t declared = v.U32(10);
    layout.pixelOffset = declared >= tableEnd ? declared : tableEnd;
    layout.stride = DibStride(static_cast<std::uint64_t>(h.width), h.bitCount);
    return true;
}

} // namespace

bool IsIconFile(const ByteSource &source)
{
    std::array<std::uint8_t, 6> head{};
    if (!source.ReadAt(0, head))
        return false;
    const LeView v(head);
    return v.U16(0) == 0 && ((v.U16(2) == 1 && v.U16(4) > 0) || v.U16(2) == 2);
}

Icon ExtractIconFile(const ByteSource &source)
{
    std::array<std::uint8_t, 6> head{};
    if (!source.ReadAt(0, head))
        return {};
    const LeView hv(head);
    const std::uint16_t type = hv.U16(2);
    if (hv.U16(0) != 0 || (type != 1 && type != 2))
        return {};
    const std::uint64_t fits = (source.Size() - 6) / 16;
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(hv.U16(4), fits));
    if (count == 0)
        return {};
    std::vector<std::uint8_t> dir;
    if (!source.ReadBlock(6, 16 * static_cast<std::uint64_t>(count), dir, 16u << 20))
        return {};
    const LeView v(dir);
    std::vector<ImageCandidate> candidates;
    candidates.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 16 * i;
        ImageCandidate c;
        c.width = v.U8(at) ? v.U8(at) : 256;
        c.height = v.U8(at + 1) ? v.U8(at + 1) : 256;
        c.bits = type == 1 ? v.U16(at + 6) : 0; // a cursor keeps its hotspot there
        c.size = v.U32(at + 8);
        c.offset = v.U32(at + 12);
        candidates.push_back(c);
    }
    return ExtractBestImage(source, std::move(candidates));
}

bool IsAniFile(const ByteSource &source)
{
    std::array<std::uint8_t, 12> head{};
    if (!source.ReadAt(0, head))
        return false;
    const LeView v(head);
    return v.U32(0) == FourCc('R', 'I', 'F', 'F') && v.U32(8) == FourCc('A', 'C', 'O', 'N');
}

bool FindAniFirstFrame(const ByteSource &source, std::uint64_t &at, std::uint64_t &size)
{
    if (!IsAniFile(source))
        return false;
    std::array<std::uint8_t, 12> buf{};
    if (!source.ReadAt(0, buf))
        return false;
    const std::uint64_t riffEnd =
        std::min<std::uint64_t>(source.Size(), 8 + std::uint64_t{LeView(buf).U32(4)});

    // Walks the chunks of [from, to) looking for id (and, for a LIST, its type).
    const auto find = [&](std::uint64_t from, std::uint64_t to, std::uint32_t id,
                          std::uint32_t listType, std::uint64_t &dataAt, std::uint64_t &dataSize) {
        std::uint64_t at = from;
        for (int i = 0; i < kMaxRiffChunks && at <= to && to - at >= 8; ++i) {
            const std::size_t n = to - at >= 12 ? 12 : 8;
            if (!source.ReadAt(at, std::span(buf).first(n)))
                return false;
            const LeView c{std::span(buf).first(n)};
            const std::uint64_t size = c.U32(4);
            const std::uint64_t data = at + 8;
            const std::uint64_t available = std::min(size, to - data);
            if (c.U32(0) == id && (listType == 0 || (available >= 4 && c.U32(8) == listType))) {
                dataAt = data;
                dataSize = available;
                return true;
            }
            at = data + size + (size & 1); // chunks are padded to even sizes
        }
        return false;
    };

    std::uint64_t listAt = 0, listSize = 0;
    if (!find(12, riffEnd, FourCc('L', 'I', 'S', 'T'), FourCc('f', 'r', 'a', 'm'), listAt,
              listSize))
        return false;
    return find(listAt + 4, listAt + listSize, FourCc('i', 'c', 'o', 'n'), 0, at, size);
}

Icon ExtractAniFile(const ByteSource &source)
{
    std::uint64_t iconAt = 0, iconSize = 0;
    if (!FindAniFirstFrame(source, iconAt, iconSize))
        return {};
    const SubSource frame(source, iconAt, iconSize);
    return ExtractIconFile(frame);
}

bool IsBitmapFile(const ByteSource &source)
{
    BitmapLayout layout;
    return ReadBitmapLayout(source, layout);
}

Icon ExtractBitmapFile(const ByteSource &source)
{
    BitmapLayout layout;
    if (!ReadBitmapLayout(source, layout))
        return {};
    const DibHeader &h = layout.header;
    const bool topDown = h.height < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(h.height) : h.height;
    const std::int64_t width = h.width;
    if (width > limits::kMaxBitmapSide || height > limits::kMaxBitmapSide)
        return {};
    if (!source.Contains(layout.pixelOffset, layout.stride * static_cast<std::uint64_t>(height)))
        return {};
    DibRowDecoder decoder;
    if (!decoder.Init(h, layout.headerBytes))
        return {};

    const int gridW = static_cast<int>(width > kWholeBitmapSide ? kSampledBitmapSide : width);
    const int gridH = static_cast<int>(height > kWholeBitmapSide ? kSampledBitmapSide : height);
    Icon picture(gridW, gridH);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(layout.stride));
    std::vector<std::uint32_t> decoded(static_cast<std::size_t>(width));
    for (int gy = 0; gy < gridH; ++gy) {
        // The source row under the centre of this grid row.
        const std::int64_t y = (2 * static_cast<std::int64_t>(gy) + 1) * height / (2 * gridH);
        const std::int64_t stored = topDown ? y : height - 1 - y;
        if (!source.ReadAt(layout.pixelOffset + static_cast<std::uint64_t>(stored) * layout.stride,
                           row))
            return {};
        decoder.Decode(row, decoded);
        for (int gx = 0; gx < gridW; ++gx) {
            const std::int64_t x = (2 * static_cast<std::int64_t>(gx) + 1) * width / (2 * gridW);
            // Bitmaps carry no transparency here: drop any alpha byte.
            picture.SetPixel(gx, gy, decoded[static_cast<std::size_t>(x)] & 0x00FFFFFFu);
        }
    }
    return ToExtractionSize(std::move(picture));
}

bool BitmapAsIconImage(const ByteSource &source, std::vector<std::uint8_t> &out)
{
    BitmapLayout layout;
    if (!ReadBitmapLayout(source, layout))
        return false;
    const DibHeader &h = layout.header;
    const bool topDown = h.height < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(h.height) : h.height;
    if (h.width > limits::kMaxIconSide || height > limits::kMaxIconSide)
        return false;
    const std::uint64_t colourBytes = layout.stride * static_cast<std::uint64_t>(height);
    if (!source.Contains(layout.pixelOffset, colourBytes))
        return false;
    const std::uint64_t maskStride = DibStride(static_cast<std::uint64_t>(h.width), 1);
    const std::size_t headerBytes = layout.headerBytes.size();
    out.assign(layout.headerBytes.begin(), layout.headerBytes.end());
    out.resize(headerBytes + static_cast<std::size_t>(colourBytes) +
               static_cast<std::size_t>(maskStride * static_cast<std::uint64_t>(height)));
    // An icon image stores its height doubled (colour rows, then the mask),
    // always bottom row first.
    const auto put16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = static_cast<std::uint8_t>(v);
        out[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v);
        put16(at + 2, v >> 16);
    };
    if (h.headerSize == 12) {
        put16(6, static_cast<std::uint32_t>(2 * height));
    } else {
        put32(8, static_cast<std::uint32_t>(2 * height));
        put32(20, static_cast<std::uint32_t>(colourBytes)); // the image size field
    }
    std::uint8_t *const rows = out.data() + headerBytes;
    if (!source.ReadAt(layout.pixelOffset, std::span(rows, static_cast<std::size_t>(colourBytes))))
        return false;
    if (topDown) {
        const std::size_t stride = static_cast<std::size_t>(layout.stride);
        for (std::int64_t y = 0; y < height / 2; ++y)
            std::swap_ranges(rows + static_cast<std::size_t>(y) * stride,
                             rows + static_cast<std::size_t>(y + 1) * stride,
                             rows + static_cast<std::size_t>(height - 1 - y) * stride);
    }
    // Bitmaps carry no transparency here (see ExtractBitmapFile): a plain
    // 32-bit picture's fourth byte becomes opaque alpha, or icon readers
    // would take it for transparency.
    if (h.bitCount == 32 && !h.bitFields)
        for (std::uint64_t i = 3; i < colourBytes; i += 4)
            rows[i] = 0xFF;
    return true;
}

} // namespace platform

#include "icontofile.h"

#include "platform/bitmap.h"
#include "platform/dibits.h"
#include "platform/filewrite.h"
#include "platform/iconinfo.h"

#include <array>
#include <cstdlib>
#include <span>

namespace iconwriter {

namespace {

void Put16(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v)
{
    Put16(b, at, v & 0xFFFFu);
    Put16(b, at + 2, v >> 16);
}

std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void DepthLayout(std::uint8_t depth, std::uint16_t &bits, std::uint32_t &entries)
{
    switch (depth) {
    case cdMono:
        bits = 1, entries = 2;
        break;
    case cdColours16:
        bits = 4, entries = 16;
        break;
    case cdColours256:
        bits = 8, entries = 256;
        break;
    case cdTrueColourAlpha:
        bits = 32, entries = 0;
        break;
    default:
        bits = 24, entries = 0;
        break;
    }
}

} // namespace

const char *WriteResultText(std::int32_t result)
{
    switch (result) {
    case wrWritten:
        return "file written";
    case wrNameTooShort:
        return "the file name has fewer than 4 characters";
    case wrNoIconInfo:
        return "there is no icon to write";
    case wrCaptureFailed:
        return "the icon's images could not be converted";
    case wrCreateFailed:
        return "the file could not be created";
    case wrWriteFailed:
        return "writing the file failed";
    default:
        return "unknown result";
    }
}

std::uint16_t CaptureBitmapBits(const platform::Bitmap &Bitmap, std::vector<std::uint8_t> &Header,
                                std::vector<std::uint8_t> &Bits, std::uint8_t Depth)
{
    int width = 0, height = 0;
    if (!platform::GetBitmapSize(Bitmap, width, height))
        return 0;

    std::array<std::uint8_t, 40> info{};
    Put32(info, 0, 40);
    Put32(info, 4, static_cast<std::uint32_t>(width));
    Put32(info, 8, static_cast<std::uint32_t>(height));
    Put16(info, 12, 1);
    std::uint16_t bits = 24;
    std::uint32_t entries = 0;
    DepthLayout(Depth, bits, entries);
    Put16(info, 14, bits);
    Put32(info, 32, entries);
    Put32(info, 36, entries);
    const std::uint64_t stride =
        ((std::uint64_t{bits} * static_cast<std::uint64_t>(width) + 31u) & ~31ull) / 8u;
    const std::uint64_t imageSize = stride * static_cast<std::uint64_t>(std::abs(height));
    if (imageSize > 0xFFFFFFFFu)
        return 0;
    Put32(info, 20, static_cast<std::uint32_t>(imageSize));
    const std::uint16_t headerSize = static_cast<std::uint16_t>(40 + (bits < 9 ? 4 * entries : 0));

    Bits.assign(static_cast<std::size_t>(imageSize), 0);
    Header.assign(headerSize, 0);
    std::copy(info.begin(), info.end(), Header.begin());
    if (platform::GetDIBits(Bitmap, std::abs(height), Bits, Header) == 0)
        return 0;
    return headerSize;
}

std::int32_t WriteIconFile(const std::string &FileName, const IconHandle &Icon, std::uint8_t Depth)
{
    if (FileName.size() < 4)
        return wrNameTooShort;
    platform::IconInfo info;
    if (!platform::GetIconInfo(Icon, info))
        return wrNoIconInfo;

    std::vector<std::uint8_t> colourHeader, colourBits, maskHeader, maskBits;
    const std::uint16_t h = CaptureBitmapBits(info.colour, colourHeader, colourBits, Depth);
    const std::uint16_t hm = CaptureBitmapBits(info.mask, maskHeader, maskBits, cdMono);
    if (h == 0 || hm == 0)
        return wrCaptureFailed;

    // The rows to write are what the conversion says it produced.
    const std::uint32_t colourSize = Get32(colourHeader, 20);
    const std::uint32_t maskSize = Get32(maskHeader, 20);
    if (colourSize > colourBits.size() || maskSize > maskBits.size())
        return wrCaptureFailed;

    std::array<std::uint8_t, 6> directory{};
    Put16(directory, 2, 1); // icon type, cursors too
    Put16(directory, 4, 1);
    std::array<std::uint8_t, 16> entry{};
    const std::uint32_t width = Get32(colourHeader, 4);
    const std::uint32_t height = Get32(colourHeader, 8);
    entry[0] = static_cast<std::uint8_t>(width);
    entry[1] = static_cast<std::uint8_t>(height);
    Put16(entry, 2, Get32(colourHeader, 14) & 0xFFFFu); // bits per pixel as a 16-bit number
    Put32(entry, 8, colourSize + h + maskSize);
    Put32(entry, 12, 22);
    // Colour rows plus mask rows. Twice the real height rather than twice
    // the entry's byte, which wraps for icons of 256 pixels and more.
    Put32(colourHeader, 8, 2 * height);

    const std::array<std::span<const std::uint8_t>, 5> blocks = {
        std::span<const std::uint8_t>(directory), std::span<const std::uint8_t>(entry),
        std::span<const std::uint8_t>(colourHeader).first(h),
        std::span<const std::uint8_t>(colourBits).first(colourSize),
        std::span<const std::uint8_t>(maskBits).first(maskSize)};
    switch (platform::WriteWholeFile(FileName, blocks)) {
    case platform::WriteResult::Ok:
        return wrWritten;
    case platform::WriteResult::CreateFailed:
        return wrCreateFailed;
    case platform::WriteResult::WriteFailed:
        return wrWriteFailed;
    }
    return wrWriteFailed;
}

} // namespace iconwriter

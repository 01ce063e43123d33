#include "pngdecode.h"

#include "le.h"

#include <png.h>

#include <vector>

namespace platform {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t Be32(std::span<const std::uint8_t> b, std::size_t at)
{
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | std::uint32_t{b[at + 3]};
}

} // namespace

bool IsPngStream(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < sizeof kSignature)
        return false;
    for (std::size_t i = 0; i < sizeof kSignature; ++i)
        if (bytes[i] != kSignature[i])
            return false;
    return true;
}

bool ReadPngHeader(std::span<const std::uint8_t> bytes, int &width, int &height, int &bits)
{
    // signature, chunk length 13, "IHDR", width, height, depth, colour type
    if (bytes.size() < 26 || !IsPngStream(bytes) || Be32(bytes, 8) != 13 || bytes[12] != 'I' ||
        bytes[13] != 'H' || bytes[14] != 'D' || bytes[15] != 'R')
        return false;
    const std::uint32_t w = Be32(bytes, 16);
    const std::uint32_t h = Be32(bytes, 20);
    const int depth = bytes[24];
    int channels = 0;
    switch (bytes[25]) {
    case 0:
        channels = 1;
        break; // grey
    case 2:
        channels = 3;
        break; // RGB
    case 3:
        channels = 1;
        break; // palette
    case 4:
        channels = 2;
        break; // grey + alpha
    case 6:
        channels = 4;
        break; // RGBA
    default:
        return false;
    }
    if (w == 0 || h == 0 || w > 0x7FFFFFFFu || h > 0x7FFFFFFFu || depth == 0 || depth > 16)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    bits = depth * channels;
    return true;
}

Icon DecodeIconPng(std::span<const std::uint8_t> bytes)
{
    int w = 0, h = 0, bits = 0;
    if (!ReadPngHeader(bytes, w, h, bits) || w > limits::kMaxIconSide || h > limits::kMaxIconSide)
        return {};

    // The simplified API keeps libpng's longjmp error handling to itself.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return {};
    if (image.width != static_cast<png_uint_32>(w) || image.height != static_cast<png_uint_32>(h)) {
        png_image_free(&image);
        return {};
    }
    image.format = PNG_FORMAT_BGRA;
    std::vector<std::uint8_t> buffer(PNG_IMAGE_SIZE(image));
    const int ok = png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr);
    png_image_free(&image);
    if (!ok)
        return {};

    Icon icon(w, h);
    auto pixels = icon.Pixels();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                    static_cast<std::size_t>(x)) *
                                   4;
            const std::uint32_t a = buffer[at + 3];
            // A fully transparent pixel keeps no colour: drawn through the
            // mask it must leave the background alone.
            if (a < 128)
                icon.SetMaskBit(x, y, true);
            if (a == 0)
                continue;
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                   static_cast<std::size_t>(x)] = (a << 24) |
                                                  (std::uint32_t{buffer[at + 2]} << 16) |
                                                  (std::uint32_t{buffer[at + 1]} << 8) | buffer[at];
        }
    }
    return icon;
}

} // namespace platform

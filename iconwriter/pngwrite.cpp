#include "pngwrite.h"

#include "platform/filewrite.h"

#include <png.h>

#include <span>

bool EncodeIconPng(const platform::Icon &icon, std::vector<std::uint8_t> &png, std::string &error)
{
    if (icon.IsNull()) {
        error = "no icon to write";
        return false;
    }
    const int w = icon.Width();
    const int h = icon.Height();
    const bool hasAlpha = icon.HasAlpha();
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = icon.Pixel(x, y);
            std::uint8_t *out = &rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
                                       static_cast<std::size_t>(x)) *
                                      4];
            const std::uint8_t a =
                hasAlpha ? static_cast<std::uint8_t>(p >> 24) : (icon.MaskBit(x, y) ? 0 : 255);
            if (a == 0)
                continue; // fully transparent: no colour either, as it is shown
            out[0] = static_cast<std::uint8_t>(p >> 16);
            out[1] = static_cast<std::uint8_t>(p >> 8);
            out[2] = static_cast<std::uint8_t>(p);
            out[3] = a;
        }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = PNG_FORMAT_RGBA;
    // Thumbnails are made one per file while the user scrolls: speed over
    // the last few bytes.
    image.flags = PNG_IMAGE_FLAG_FAST;
    // One pass into a buffer of the largest size the stream can take, not
    // one to measure and one to write.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
    png.resize(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr)) {
        error = image.message;
        png.clear();
        return false;
    }
    png.resize(size);
    return true;
}

bool WriteIconPng(const platform::Icon &icon, const std::string &path, std::string &error)
{
    std::vector<std::uint8_t> png;
    if (!EncodeIconPng(icon, png, error))
        return false;
    const std::span<const std::uint8_t> blocks[] = {png};
    int reason = 0;
    switch (platform::WriteWholeFile(path, blocks, &reason)) {
    case platform::WriteResult::Ok:
        return true;
    case platform::WriteResult::CreateFailed:
        error = "cannot create " + path + ": " + platform::WriteErrorText(reason);
        return false;
    case platform::WriteResult::WriteFailed:
        break;
    }
    error = "cannot write " + path + ": " + platform::WriteErrorText(reason);
    return false;
}

// Icon and cursor files, their PNG images, and animated cursors.

#include "fixtures.h"
#include "fixtures_bytes.h"

#include <png.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace fixtures {

using namespace detail;

namespace {

void PutChunk(Bytes &out, const char (&tag)[5], const Bytes &data)
{
    PutTag(out, tag);
    Put32(out, static_cast<std::uint32_t>(data.size()));
    PutBytes(out, data);
    PadTo(out, 2);
}

} // namespace

void detail::PutIconDirectoryHeader(Bytes &out, std::uint16_t type, std::size_t count)
{
    Put16(out, 0); // reserved
    Put16(out, type);
    Put16(out, static_cast<std::uint32_t>(count));
}

void detail::PutIconEntryHead(Bytes &out, const IconImage &image)
{
    Put8(out, image.dirWidth);
    Put8(out, image.dirHeight);
    Put8(out, image.colourCount);
    Put8(out, 0); // reserved
    Put16(out, image.planes);
    Put16(out, image.bitCount);
    Put32(out, static_cast<std::uint32_t>(image.data.size()));
}

Bytes EncodePng(const Picture &picture, int channelBits)
{
    Require(channelBits == 8 || channelBits == 16, "PNG channels have 8 or 16 bits");
    const std::size_t count = CheckedPixelCount(picture);
    const bool hasAlpha = std::any_of(picture.argb.begin(), picture.argb.end(),
                                      [](std::uint32_t argb) { return (argb >> 24) != 0; });
    std::vector<std::uint8_t> rgba;
    rgba.reserve(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t argb = picture.argb[i];
        rgba.push_back(static_cast<std::uint8_t>(argb >> 16));
        rgba.push_back(static_cast<std::uint8_t>(argb >> 8));
        rgba.push_back(static_cast<std::uint8_t>(argb));
        if (hasAlpha) {
            rgba.push_back(static_cast<std::uint8_t>(argb >> 24));
        } else {
            rgba.push_back(picture.mask[i] != 0 ? 0 : 255);
        }
    }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    // libpng writes 16-bit channels from linear values with the alpha
    // premultiplied, and turns them back into straight alpha in the file.
    std::vector<std::uint16_t> linear;
    if (channelBits == 16) {
        image.format = PNG_FORMAT_LINEAR_RGB_ALPHA;
        for (std::size_t i = 0; i < rgba.size(); i += 4) {
            const unsigned alpha = rgba[i + 3];
            for (std::size_t c = 0; c < 3; ++c) {
                linear.push_back(static_cast<std::uint16_t>(rgba[i + c] * 257u * alpha / 255u));
            }
            linear.push_back(static_cast<std::uint16_t>(alpha * 257u));
        }
    }
    const void *pixels = linear.empty() ? static_cast<const void *>(rgba.data()) : linear.data();
    // The first call only measures.
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr) == 0) {
        throw std::runtime_error(image.message);
    }
    Bytes out(size);
    if (png_image_write_to_memory(&image, out.data(), &size, 0, pixels, 0, nullptr) == 0) {
        throw std::runtime_error(image.message);
    }
    out.resize(size);
    return out;
}

IconImage MakeImage(const Picture &picture, int bitCount, bool png)
{
    CheckedPixelCount(picture);
    IconImage image;
    // 256 and larger are stored as 0.
    image.dirWidth = static_cast<std::uint8_t>(picture.width < 256 ? picture.width : 0);
    image.dirHeight = static_cast<std::uint8_t>(picture.height < 256 ? picture.height : 0);
    image.planes = 1;
    if (png) {
        // The stream is always RGBA.
        image.bitCount = 32;
        image.data = EncodePng(picture);
        return image;
    }
    image.data = EncodeIconDib(picture, bitCount);
    // 256 colours do not fit the byte and are written as 0.
    image.colourCount = static_cast<std::uint8_t>(bitCount < 8 ? 1u << bitCount : 0);
    image.bitCount = static_cast<std::uint16_t>(bitCount);
    return image;
}

Bytes BuildIconFile(const std::vector<IconImage> &images, std::uint16_t type)
{
    Bytes out;
    PutIconDirectoryHeader(out, type, images.size());
    std::size_t offset = 6 + 16 * images.size();
    for (const IconImage &image : images) {
        PutIconEntryHead(out, image);
        Put32(out, static_cast<std::uint32_t>(offset));
        offset += image.data.size();
    }
    for (const IconImage &image : images) {
        PutBytes(out, image.data);
    }
    return out;
}

Bytes BuildAni(const std::vector<Bytes> &frames)
{
    const auto frameCount = static_cast<std::uint32_t>(frames.size());
    Bytes header;
    Put32(header, 36);         // cbSize
    Put32(header, frameCount); // frames
    Put32(header, frameCount); // steps: each frame once, in order
    Put32(header, 0);          // cx, cy, bit count and planes are unused
    Put32(header, 0);          // when the frames are icon files
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, 10); // display rate in 1/60 s
    Put32(header, 1);  // AF_ICON

    Bytes list;
    PutTag(list, "fram");
    for (const Bytes &frame : frames) {
        PutChunk(list, "icon", frame);
    }

    Bytes body;
    PutTag(body, "ACON");
    PutChunk(body, "anih", header);
    PutChunk(body, "LIST", list);

    Bytes out;
    PutChunk(out, "RIFF", body);
    return out;
}

} // namespace fixtures

// Feeds arbitrary bytes to the whole-icon reader and both writers. Reading
// must never crash, hang or go past its limits; whatever it keeps must
// survive the round trip: the icon file built from it reads back to the
// same images, and the PNG made of its largest image decodes at its size.

#include "iconwriter/wholeiconfile.h"
#include "platform/bytesource.h"
#include "platform/extracticon.h"
#include "platform/le.h"
#include "platform/pngdecode.h"
#include "platform/wholeicon.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckRoundTrip(const platform::WholeIcon &icon)
{
    std::uint64_t total = 0;
    for (const platform::StoredImage &image : icon.images) {
        Check(image.width >= 1 && image.width <= platform::limits::kMaxIconSide);
        Check(image.height >= 1 && image.height <= platform::limits::kMaxIconSide);
        Check(!image.data.empty() && image.data.size() <= platform::limits::kMaxStoredImageBytes);
        total += image.data.size();
    }
    Check(icon.images.size() <= platform::limits::kMaxImagesPerIcon);
    Check(total <= platform::limits::kMaxWholeIconBytes);

    // The icon file, assembled in memory as the writer lays it out.
    std::vector<std::uint8_t> file = iconwriter::WholeIconDirectory(icon);
    for (const platform::StoredImage &image : icon.images)
        file.insert(file.end(), image.data.begin(), image.data.end());
    const platform::MemorySource written{std::span<const std::uint8_t>(file)};
    platform::WholeIcon back;
    Check(platform::ReadWholeIcon(written, 0, back) == platform::WholeIconResult::Ok);
    Check(back.cursor == icon.cursor);
    // Images that were the same bytes at two places are kept once.
    Check(back.images.size() <= icon.images.size() && !back.images.empty());
    for (const platform::StoredImage &image : back.images) {
        bool found = false;
        for (const platform::StoredImage &original : icon.images)
            found = found || original.data == image.data;
        Check(found);
    }

    const platform::StoredImage &largest = icon.images[platform::LargestImage(icon.images)];
    std::vector<std::uint8_t> png;
    if (iconwriter::EncodeImagePng(largest, png)) {
        int w = 0, h = 0, bits = 0;
        Check(platform::ReadPngHeader(png, w, h, bits));
        Check(w == largest.width && h == largest.height);
    } else {
        // Only a DIB can fail to convert; a stored PNG is copied.
        Check(largest.storage == platform::ImageStorage::Bitmap);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const platform::MemorySource source(std::span<const std::uint8_t>(data, size));
    const int count = platform::CountIcons(source);
    const int last = count < 4 ? count : 4;
    for (int index = -3; index <= last; ++index) {
        platform::WholeIcon icon;
        const platform::WholeIconResult result = platform::ReadWholeIcon(source, index, icon);
        if (index == -1 || (index >= count && index >= 0))
            Check(result != platform::WholeIconResult::Ok);
        if (result == platform::WholeIconResult::Ok) {
            Check(!icon.images.empty());
            CheckRoundTrip(icon);
        } else {
            Check(icon.images.empty());
        }
    }
    return 0;
}

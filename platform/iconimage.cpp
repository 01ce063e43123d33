#include "iconimage.h"

#include "bytesource.h"
#include "dib.h"
#include "extracticon.h"
#include "le.h"
#include "pngdecode.h"
#include "scaleicon.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

namespace platform {

namespace {

// How many damaged images we try before giving up on a directory.
constexpr std::size_t kMaxDecodeAttempts = 4;

int SideDistance(int side)
{
    return side >= kIconSize ? side - kIconSize : 2 * (kIconSize - side);
}

// The bit count the image itself declares, or 0 when its header can't say.
int ImageOwnBits(std::span<const std::uint8_t> head)
{
    int w = 0, h = 0, bits = 0;
    if (ReadPngHeader(head, w, h, bits))
        return bits;
    const LeView v(head);
    const std::uint32_t headerSize = v.U32(0);
    if (headerSize == 12 && v.Has(0, 12))
        return v.U16(10);
    if (headerSize >= 40 && headerSize <= 124 && v.Has(0, 16))
        return v.U16(14);
    return 0;
}

} // namespace

int ImageScore(int width, int height, int bits)
{
    return 2 * std::abs(bits - 32) + SideDistance(width) + SideDistance(height);
}

std::size_t ChooseImage(std::span<const ImageCandidate> candidates)
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < candidates.size(); ++i) {
        const ImageCandidate &c = candidates[i];
        const ImageCandidate &b = candidates[best];
        const int cs = ImageScore(c.width, c.height, c.bits);
        const int bs = ImageScore(b.width, b.height, b.bits);
        if (cs < bs || (cs == bs && c.bits > b.bits))
            best = i;
    }
    return best;
}

Icon DecodeIconImage(std::span<const std::uint8_t> bytes)
{
    if (IsPngStream(bytes))
        return DecodeIconPng(bytes);
    return DecodeIconDib(bytes);
}

Icon ToExtractionSize(Icon icon)
{
    if (icon.IsNull() || (icon.Width() == kIconSize && icon.Height() == kIconSize))
        return icon;
    return ScaleIcon(icon, kIconSize, kIconSize);
}

Icon ExtractBestImage(const ByteSource &source, std::vector<ImageCandidate> candidates)
{
    // Correct each directory's bit count from the image's own header.
    std::vector<std::uint8_t> head(64);
    for (ImageCandidate &c : candidates) {
        c.size = std::min(c.size, source.Contains(c.offset, 0) ? source.Size() - c.offset : 0);
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(c.size, head.size()));
        if (n == 0 || !source.ReadAt(c.offset, std::span(head).first(n))) {
            c.size = 0; // unreadable: never chosen below
            continue;
        }
        if (const int own = ImageOwnBits(std::span(head).first(n)); own > 0)
            c.bits = own;
    }

    std::vector<std::size_t> order(candidates.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const ImageCandidate &ca = candidates[a];
        const ImageCandidate &cb = candidates[b];
        const int sa = ImageScore(ca.width, ca.height, ca.bits);
        const int sb = ImageScore(cb.width, cb.height, cb.bits);
        return sa != sb ? sa < sb : ca.bits > cb.bits;
    });

    std::size_t attempts = 0;
    std::vector<std::uint8_t> block;
    for (const std::size_t i : order) {
        const ImageCandidate &c = candidates[i];
        if (c.size == 0)
            continue;
        if (attempts++ == kMaxDecodeAttempts)
            break;
        if (!source.ReadBlock(c.offset, std::min(c.size, limits::kMaxImageBytes), block,
                              limits::kMaxImageBytes))
            continue;
        Icon icon = DecodeIconImage(block);
        if (!icon.IsNull())
            return ToExtractionSize(std::move(icon));
    }
    return {};
}

bool ParseGroup(std::span<const std::uint8_t> bytes, std::vector<GroupEntry> &entries)
{
    const LeView v(bytes);
    if (!v.Has(0, 6) || v.U16(0) != 0 || v.U16(2) != 1)
        return false;
    const std::size_t fits = (bytes.size() - 6) / 14;
    const std::size_t count = std::min<std::size_t>(v.U16(4), fits);
    if (count == 0)
        return false;
    entries.clear();
    entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 14 * i;
        GroupEntry e;
        e.width = v.U8(at) ? v.U8(at) : 256;
        e.height = v.U8(at + 1) ? v.U8(at + 1) : 256;
        e.bits = v.U16(at + 6);
        e.id = v.U16(at + 12);
        entries.push_back(e);
    }
    return true;
}

Icon ExtractGroup(const ByteSource &source, std::span<const std::uint8_t> group,
                  const ImageLookup &lookup)
{
    std::vector<GroupEntry> entries;
    if (!ParseGroup(group, entries))
        return {};
    std::vector<ImageCandidate> candidates;
    candidates.reserve(entries.size());
    for (const GroupEntry &e : entries) {
        const std::optional<ImageCandidate> where = lookup(e.id);
        if (!where)
            return {}; // the group names an image that isn't there
        ImageCandidate c = *where;
        c.width = e.width;
        c.height = e.height;
        c.bits = e.bits;
        candidates.push_back(c);
    }
    return ExtractBestImage(source, std::move(candidates));
}

} // namespace platform

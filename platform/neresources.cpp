#include "neresources.h"

#include "bytesource.h"
#include "iconimage.h"
#include "le.h"
#include "wholeicon.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

constexpr std::uint16_t kNeIcon = 0x8003;
constexpr std::uint16_t kNeGroupIcon = 0x800E;
constexpr std::uint16_t kNumericId = 0x8000;
constexpr std::size_t kTypeInfo = 8;
constexpr std::size_t kNameInfo = 12;
// Real files use shifts of 4 to 9; anything past this is damage.
constexpr unsigned kMaxAlignShift = 24;

} // namespace

bool NeResources::Open()
{
    Groups.clear();
    Images.clear();
    ImageById.clear();
    std::array<std::uint8_t, 64> dos{};
    if (!Source.ReadAt(0, dos) || dos[0] != 'M' || dos[1] != 'Z')
        return false;
    const std::uint64_t ne = LeView(dos).U32(0x3C);
    std::array<std::uint8_t, 64> header{};
    if (!Source.ReadAt(ne, std::span(header).first(2)) || header[0] != 'N' || header[1] != 'E')
        return false;
    if (!Source.ReadAt(ne, header))
        return true; // an NE file too short to hold resources
    const LeView h(header);
    const std::uint16_t tableOffset = h.U16(0x24);
    const std::uint16_t residentNames = h.U16(0x26);
    if (tableOffset == 0 || residentNames <= tableOffset)
        return true; // no resource table

    // The table ends where the resident-name table begins.
    const std::uint64_t tableAt = ne + tableOffset;
    const std::uint64_t available = Source.Contains(tableAt, 0) ? Source.Size() - tableAt : 0;
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(residentNames - tableOffset, available));
    std::vector<std::uint8_t> table;
    if (length < 2 || !Source.ReadBlock(tableAt, length, table, 65536))
        return true;
    const LeView t(table);
    const unsigned shift = t.U16(0);
    if (shift > kMaxAlignShift)
        return true;

    std::size_t at = 2;
    // Every pass consumes at least a type header, so this ends.
    while (t.Has(at, 2) && t.U16(at) != 0) {
        if (!t.Has(at, kTypeInfo))
            break;
        const std::uint16_t type = t.U16(at);
        const std::size_t count = t.U16(at + 2);
        at += kTypeInfo;
        for (std::size_t i = 0; i < count && t.Has(at, kNameInfo); ++i, at += kNameInfo) {
            Resource r;
            r.offset = std::uint64_t{t.U16(at)} << shift;
            r.size = std::uint64_t{t.U16(at + 2)} << shift;
            r.id = t.U16(at + 6);
            // The length is in alignment units and may run past the end.
            r.size = Source.Contains(r.offset, 0) ? std::min(r.size, Source.Size() - r.offset) : 0;
            if (type == kNeGroupIcon) {
                // A name is a counted string at this offset into the table.
                if (!(r.id & kNumericId) && t.Has(r.id, 1)) {
                    const std::size_t n = t.U8(r.id);
                    for (std::size_t c = 0; c < n && t.Has(r.id + 1 + c, 1); ++c)
                        r.name.push_back(static_cast<char>(t.U8(r.id + 1 + c)));
                }
                Groups.push_back(std::move(r));
            } else if (type == kNeIcon)
                Images.push_back(r);
        }
    }
    for (std::size_t i = 0; i < Images.size(); ++i)
        if ((Images[i].id & kNumericId) && Images[i].size > 0)
            ImageById.try_emplace(static_cast<std::uint16_t>(Images[i].id & ~kNumericId), i);
    return true;
}

const NeResources::Resource *NeResources::FindGroup(int index) const
{
    const Resource *group = nullptr;
    if (index >= 0) {
        if (static_cast<std::size_t>(index) < Groups.size())
            group = &Groups[static_cast<std::size_t>(index)];
    } else if (index != -1) {
        const std::int64_t id = -static_cast<std::int64_t>(index);
        for (const Resource &r : Groups)
            if ((r.id & kNumericId) && (r.id & ~kNumericId) == id) {
                group = &r;
                break;
            }
    }
    return group && group->size > 0 ? group : nullptr;
}

bool NeResources::VisitGroup(int index, const GroupVisitor &visit) const
{
    const Resource *group = FindGroup(index);
    if (!group)
        return false;
    std::vector<std::uint8_t> bytes;
    if (!Source.ReadBlock(group->offset, std::min<std::uint64_t>(group->size, 6 + 14 * 65535),
                          bytes, 6 + 14 * 65535))
        return false;
    const ImageLookup lookup = [this](std::uint16_t id) -> std::optional<ImageCandidate> {
        const auto found = ImageById.find(id);
        if (found == ImageById.end())
            return std::nullopt;
        ImageCandidate c;
        c.offset = Images[found->second].offset;
        c.size = Images[found->second].size;
        return c;
    };
    visit(bytes, lookup, *group);
    return true;
}

Icon NeResources::ExtractGroup(int index) const
{
    Icon icon;
    VisitGroup(index,
               [&](std::span<const std::uint8_t> group, const ImageLookup &lookup,
                   const Resource &) { icon = platform::ExtractGroup(Source, group, lookup); });
    return icon;
}

WholeIconResult NeResources::ReadWholeGroup(int index, WholeIcon &out) const
{
    WholeIconResult result = WholeIconResult::NoIcon;
    VisitGroup(index, [&](std::span<const std::uint8_t> group, const ImageLookup &lookup,
                          const Resource &resource) {
        result = ReadGroupImages(Source, group, lookup, out);
        out.hasName = true;
        out.name.isId = (resource.id & kNumericId) != 0;
        out.name.id = out.name.isId ? static_cast<std::uint16_t>(resource.id & ~kNumericId) : 0;
        out.name.text = resource.name;
    });
    return result;
}

} // namespace platform

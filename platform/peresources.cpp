#include "peresources.h"

#include "bytesource.h"
#include "iconimage.h"
#include "le.h"
#include "wholeicon.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

constexpr std::uint16_t kRtIcon = 3;
constexpr std::uint16_t kRtGroupIcon = 14;
constexpr std::uint32_t kHighBit = 0x80000000u;

// DOS header: the "MZ" stub and, at e_lfanew, where the PE header starts.
constexpr std::size_t kDosHeader = 64;
constexpr std::size_t kDosNewHeaderAt = 0x3C;

// PE header: the "PE\0\0" signature, the COFF file header, then the optional
// header whose layout depends on its magic.
constexpr std::uint32_t kPeSignature = 0x00004550u;
constexpr std::size_t kSignatureSize = 4;
constexpr std::size_t kFileHeaderSize = 20;
constexpr std::size_t kSectionCountAt = kSignatureSize + 2;  // NumberOfSections
constexpr std::size_t kOptionalSizeAt = kSignatureSize + 16; // SizeOfOptionalHeader
constexpr std::size_t kOptionalAt = kSignatureSize + kFileHeaderSize;

// Optional header fields, from its start.
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kHeadersSizeAt = 60;             // SizeOfHeaders, same in both
constexpr std::size_t kDirectoryCountAtPe32 = 92;      // NumberOfRvaAndSizes
constexpr std::size_t kDirectoryCountAtPe32Plus = 108; // the same after 64-bit fields
constexpr std::size_t kDataDirectorySize = 8;          // RVA, size
constexpr std::size_t kResourceDirectory = 2;          // its index among the directories
constexpr std::size_t kDataDirectoryCount = 16;        // the most a header holds
// The longer PE32+ header up to the end of its data directories.
constexpr std::size_t kOptionalReadSize =
    kDirectoryCountAtPe32Plus + 4 + kDataDirectoryCount * kDataDirectorySize;

// Section header: 40 bytes each, in a table after the optional header.
constexpr std::size_t kSectionHeader = 40;
constexpr std::size_t kSectionVirtualSizeAt = 8;
constexpr std::size_t kSectionVirtualAddressAt = 12;
constexpr std::size_t kSectionRawSizeAt = 16;
constexpr std::size_t kSectionRawAt = 20;

// Resource tree: a 16-byte directory header counting its named and id
// entries, then 8-byte entries (name or id, data or subdirectory offset); a
// leaf's data entry holds the bytes' RVA and size.
constexpr std::size_t kDirHeader = 16;
constexpr std::size_t kDirNamedCountAt = 12;
constexpr std::size_t kDirIdCountAt = 14;
constexpr std::size_t kDirEntry = 8;
constexpr std::size_t kDataEntry = 16;
// A group names at most 65535 images; its data never needs more than this.
constexpr std::uint64_t kMaxGroupBytes = 6 + 14 * 65535;
constexpr std::size_t kMaxDirEntries = 2 * 65535;

bool IsId(const std::uint32_t name)
{
    return (name & kHighBit) == 0;
}

} // namespace

bool PeResources::Open()
{
    Opened = false;
    TreeRead = false;
    TreeCache.reset();
    std::array<std::uint8_t, kDosHeader> dos{};
    if (!Source.ReadAt(0, dos) || dos[0] != 'M' || dos[1] != 'Z')
        return false;
    const std::uint32_t pe = LeView(dos).U32(kDosNewHeaderAt);

    // Signature, file header and the optional header up to the data
    // directories of either flavour.
    std::array<std::uint8_t, kOptionalAt + kOptionalReadSize> head{};
    const std::uint64_t headAvail = Source.Contains(pe, 0) ? Source.Size() - pe : 0;
    const std::size_t headLen =
        static_cast<std::size_t>(std::min<std::uint64_t>(headAvail, head.size()));
    // At least the magic of the optional header.
    if (headLen < kOptionalAt + 2 || !Source.ReadAt(pe, std::span(head).first(headLen)))
        return false;
    const LeView h{std::span(head).first(headLen)};
    if (h.U32(0) != kPeSignature)
        return false;
    const std::uint16_t sectionCount = h.U16(kSectionCountAt);
    const std::uint16_t optionalSize = h.U16(kOptionalSizeAt);
    const std::size_t opt = kOptionalAt;
    const std::uint16_t magic = h.U16(opt);
    std::size_t countAt = 0;
    if (magic == kMagicPe32)
        countAt = kDirectoryCountAtPe32;
    else if (magic == kMagicPe32Plus)
        countAt = kDirectoryCountAtPe32Plus;
    else
        return false;
    // The data directories follow their 4-byte count.
    const std::size_t resourceAt = countAt + 4 + kResourceDirectory * kDataDirectorySize;
    if (optionalSize >= resourceAt + kDataDirectorySize &&
        h.Has(opt + resourceAt, kDataDirectorySize) && h.U32(opt + countAt) > kResourceDirectory)
        ResourceRva = h.U32(opt + resourceAt);
    else
        ResourceRva = 0;
    HeadersSize = h.U32(opt + kHeadersSizeAt);

    const std::uint64_t tableAt = std::uint64_t{pe} + kOptionalAt + optionalSize;
    const std::uint64_t tableAvail = Source.Contains(tableAt, 0) ? Source.Size() - tableAt : 0;
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>(sectionCount, tableAvail / kSectionHeader));
    std::vector<std::uint8_t> table;
    if (!Source.ReadBlock(tableAt, count * kSectionHeader, table, 65535 * kSectionHeader))
        return false;
    const LeView t(table);
    Sections.clear();
    Sections.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * kSectionHeader;
        Section s;
        const std::uint32_t virtualSize = t.U32(at + kSectionVirtualSizeAt);
        s.va = t.U32(at + kSectionVirtualAddressAt);
        const std::uint32_t rawSize = t.U32(at + kSectionRawSizeAt);
        s.raw = t.U32(at + kSectionRawAt);
        s.size = virtualSize == 0 ? rawSize : std::min(rawSize, virtualSize);
        Sections.push_back(s);
    }
    Opened = true;
    return true;
}

bool PeResources::MapRva(std::uint32_t rva, std::uint64_t &offset, std::uint64_t &available) const
{
    for (const Section &s : Sections) {
        if (rva >= s.va && rva - s.va < s.size) {
            offset = std::uint64_t{s.raw} + (rva - s.va);
            if (!Source.Contains(offset, 0))
                return false;
            available = std::min<std::uint64_t>(s.size - (rva - s.va), Source.Size() - offset);
            return available > 0;
        }
    }
    // Outside every section only the headers are mapped, one to one.
    if (rva < HeadersSize && Source.Contains(rva, 0)) {
        offset = rva;
        available = std::min<std::uint64_t>(HeadersSize - rva, Source.Size() - rva);
        return available > 0;
    }
    return false;
}

bool PeResources::ReadDirectory(std::uint32_t offset, std::size_t maxEntries, Directory &dir,
                                std::size_t &total) const
{
    if (offset > 0xFFFFFFFFu - ResourceRva)
        return false;
    std::uint64_t at = 0, available = 0;
    if (!MapRva(ResourceRva + offset, at, available) || available < kDirHeader)
        return false;
    std::array<std::uint8_t, kDirHeader> header{};
    if (!Source.ReadAt(at, header))
        return false;
    const LeView hv(header);
    const std::size_t declared = std::size_t{hv.U16(kDirNamedCountAt)} + hv.U16(kDirIdCountAt);
    total = std::min<std::size_t>(declared,
                                  static_cast<std::size_t>((available - kDirHeader) / kDirEntry));
    const std::size_t n = std::min(total, maxEntries);
    dir.start = offset;
    dir.entries.clear();
    if (n == 0)
        return true;
    std::vector<std::uint8_t> bytes;
    if (!Source.ReadBlock(at + kDirHeader, n * kDirEntry, bytes, kMaxDirEntries * kDirEntry))
        return false;
    const LeView v(bytes);
    dir.entries.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        dir.entries[i] = {v.U32(i * kDirEntry), v.U32(i * kDirEntry + 4)};
    return true;
}

PeResources::Span PeResources::Followed(const Directory &dir, const Entry &entry)
{
    const auto index = static_cast<std::uint64_t>(&entry - dir.entries.data());
    return {dir.start, std::uint64_t{dir.start} + kDirHeader + (index + 1) * kDirEntry};
}

std::optional<std::uint32_t> PeResources::Subdirectory(const Entry &entry,
                                                       const std::vector<Span> &path) const
{
    if ((entry.data & kHighBit) == 0)
        return std::nullopt;
    const std::uint32_t offset = entry.data & ~kHighBit;
    for (const Span &s : path)
        if (offset >= s.start && offset < s.end)
            return std::nullopt; // would loop back into the tree above
    return offset;
}

std::optional<std::uint32_t> PeResources::TypeDirectory(const Directory &root,
                                                        std::uint16_t type) const
{
    for (const Entry &e : root.entries)
        if (IsId(e.name) && e.name == type)
            return Subdirectory(e, {Followed(root, e)});
    return std::nullopt;
}

std::optional<PeResources::Located>
PeResources::FirstLanguageData(const Entry &nameEntry, const std::vector<Span> &path) const
{
    const auto languages = Subdirectory(nameEntry, path);
    if (!languages)
        return std::nullopt;
    Directory dir;
    std::size_t total = 0;
    if (!ReadDirectory(*languages, 1, dir, total) || dir.entries.empty())
        return std::nullopt;
    const Entry &first = dir.entries.front();
    if (first.data & kHighBit)
        return std::nullopt; // the tree has three levels, no more
    // The data entry: RVA of the bytes, their size.
    std::uint64_t at = 0, available = 0;
    if (first.data > 0xFFFFFFFFu - ResourceRva ||
        !MapRva(ResourceRva + first.data, at, available) || available < kDataEntry)
        return std::nullopt;
    std::array<std::uint8_t, 8> dataEntry{};
    if (!Source.ReadAt(at, dataEntry))
        return std::nullopt;
    const LeView v(dataEntry);
    Located where;
    if (!MapRva(v.U32(0), where.offset, available))
        return std::nullopt;
    where.size = std::min<std::uint64_t>(v.U32(4), available);
    if (where.size == 0)
        return std::nullopt;
    return where;
}

int PeResources::CountGroups() const
{
    if (!Opened || ResourceRva == 0)
        return 0;
    Directory root;
    std::size_t total = 0;
    if (!ReadDirectory(0, kMaxDirEntries, root, total))
        return 0;
    const auto groups = TypeDirectory(root, kRtGroupIcon);
    if (!groups)
        return 0;
    Directory dir;
    if (!ReadDirectory(*groups, 0, dir, total))
        return 0;
    return static_cast<int>(total);
}

const PeResources::Tree *PeResources::ReadTree() const
{
    if (TreeRead)
        return TreeCache.get();
    TreeRead = true;
    if (!Opened || ResourceRva == 0)
        return nullptr;
    auto tree = std::make_unique<Tree>();
    std::size_t total = 0;
    if (!ReadDirectory(0, kMaxDirEntries, tree->root, total))
        return nullptr;
    const auto typeEntry = [&](std::uint16_t type) -> std::optional<std::size_t> {
        const auto &entries = tree->root.entries;
        const auto found = std::find_if(entries.begin(), entries.end(), [type](const Entry &e) {
            return IsId(e.name) && e.name == type;
        });
        if (found == entries.end())
            return std::nullopt;
        return static_cast<std::size_t>(found - entries.begin());
    };
    const auto groupType = typeEntry(kRtGroupIcon);
    const auto groupsAt = TypeDirectory(tree->root, kRtGroupIcon);
    if (!groupType || !groupsAt || !ReadDirectory(*groupsAt, kMaxDirEntries, tree->groups, total))
        return nullptr;
    tree->groupType = *groupType;

    const auto iconType = typeEntry(kRtIcon);
    const auto iconsAt = TypeDirectory(tree->root, kRtIcon);
    if (iconType && iconsAt && ReadDirectory(*iconsAt, kMaxDirEntries, tree->icons, total)) {
        tree->hasIcons = true;
        tree->iconType = *iconType;
        const auto &icons = tree->icons.entries;
        tree->iconById.reserve(icons.size());
        for (std::size_t i = 0; i < icons.size(); ++i)
            if (IsId(icons[i].name) && icons[i].name <= 0xFFFFu)
                tree->iconById.try_emplace(static_cast<std::uint16_t>(icons[i].name), i);
    }
    TreeCache = std::move(tree);
    return TreeCache.get();
}

bool PeResources::VisitGroup(int index, const GroupVisitor &visit) const
{
    if (index == -1)
        return false;
    const Tree *tree = ReadTree();
    if (!tree)
        return false;
    const std::vector<Entry> &groups = tree->groups.entries;
    const Entry *entry = nullptr;
    if (index >= 0) {
        if (static_cast<std::size_t>(index) < groups.size())
            entry = &groups[static_cast<std::size_t>(index)];
    } else {
        const std::uint32_t id = static_cast<std::uint32_t>(-static_cast<std::int64_t>(index));
        for (const Entry &e : groups)
            if (IsId(e.name) && e.name == id) {
                entry = &e;
                break;
            }
    }
    if (!entry)
        return false;
    const Span groupType = Followed(tree->root, tree->root.entries[tree->groupType]);
    const auto groupData = FirstLanguageData(*entry, {groupType, Followed(tree->groups, *entry)});
    if (!groupData)
        return false;
    std::vector<std::uint8_t> group;
    if (!Source.ReadBlock(groupData->offset, std::min(groupData->size, kMaxGroupBytes), group,
                          kMaxGroupBytes))
        return false;
    if (!tree->hasIcons)
        return false;

    // The images, by id; each read only when the group names it.
    const Span iconType = Followed(tree->root, tree->root.entries[tree->iconType]);
    const ImageLookup lookup = [&](std::uint16_t id) -> std::optional<ImageCandidate> {
        const auto found = tree->iconById.find(id);
        if (found == tree->iconById.end())
            return std::nullopt;
        const Entry &image = tree->icons.entries[found->second];
        const auto where = FirstLanguageData(image, {iconType, Followed(tree->icons, image)});
        if (!where)
            return std::nullopt;
        ImageCandidate c;
        c.offset = where->offset;
        c.size = where->size;
        return c;
    };
    visit(group, lookup, entry->name);
    return true;
}

Icon PeResources::ExtractGroup(int index) const
{
    Icon icon;
    VisitGroup(index, [&](std::span<const std::uint8_t> group, const ImageLookup &lookup,
                          std::uint32_t) { icon = platform::ExtractGroup(Source, group, lookup); });
    return icon;
}

ResourceName PeResources::NameOf(std::uint32_t name) const
{
    ResourceName out;
    if (IsId(name)) {
        out.id = static_cast<std::uint16_t>(name);
        return out;
    }
    out.isId = false;
    // A counted UTF-16 string, relative to the tree's root.
    const std::uint32_t offset = name & ~kHighBit;
    std::uint64_t at = 0, available = 0;
    if (offset > 0xFFFFFFFFu - ResourceRva || !MapRva(ResourceRva + offset, at, available) ||
        available < 2)
        return out;
    std::array<std::uint8_t, 2> length{};
    if (!Source.ReadAt(at, length))
        return out;
    const std::size_t chars =
        std::min<std::size_t>({LeView(length).U16(0), limits::kMaxResourceNameChars,
                               static_cast<std::size_t>((available - 2) / 2)});
    std::vector<std::uint8_t> text;
    if (!Source.ReadBlock(at + 2, 2 * chars, text, 2 * limits::kMaxResourceNameChars))
        return out;
    const LeView v(text);
    for (std::size_t i = 0; i < chars; ++i) {
        std::uint32_t c = v.U16(2 * i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < chars && v.U16(2 * i + 2) >= 0xDC00 &&
            v.U16(2 * i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (v.U16(2 * i + 2) - 0xDC00u);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD; // an unpaired surrogate
        }
        AppendUtf8(out.text, c);
    }
    return out;
}

WholeIconResult PeResources::ReadWholeGroup(int index, WholeIcon &out) const
{
    WholeIconResult result = WholeIconResult::NoIcon;
    VisitGroup(index, [&](std::span<const std::uint8_t> group, const ImageLookup &lookup,
                          std::uint32_t name) {
        result = ReadGroupImages(Source, group, lookup, out);
        out.hasName = true;
        out.name = NameOf(name);
    });
    return result;
}

} // namespace platform

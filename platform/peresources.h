#pragma once

#include "icon.h"
#include "iconimage.h"
#include "wholeicon.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace platform {

class ByteSource;

// The group icons of a PE32 or PE32+ file, read from its resource directory.
// Only the headers, the section table and the parts of the resource tree
// that a question needs are read. The group and image directories are read
// on the first question about a group and kept for the next ones, so that
// asking about every group is linear in their number.
class PeResources
{
public:
    explicit PeResources(const ByteSource &source) : Source(source) {}

    // Reads the headers; false when this is not a PE32/PE32+ image.
    bool Open();
    bool IsOpen() const { return Opened; }

    // Entries directly under the group icon type, in stored order.
    int CountGroups() const;
    // The icon of group index (0 or more), or of the group with id -index.
    Icon ExtractGroup(int index) const;
    // Every image of group index, as stored (wholeicon.h).
    WholeIconResult ReadWholeGroup(int index, WholeIcon &out) const;

private:
    // Finds a group as ExtractGroup does and hands its directory bytes, a
    // lookup of its images and its name field to visit; false when there
    // is no such group or its directory cannot be read.
    using GroupVisitor = std::function<void(std::span<const std::uint8_t> group,
                                            const ImageLookup &lookup, std::uint32_t name)>;
    bool VisitGroup(int index, const GroupVisitor &visit) const;
    ResourceName NameOf(std::uint32_t name) const;

    struct Section
    {
        std::uint32_t va = 0;
        std::uint32_t size = 0; // what the file really backs
        std::uint32_t raw = 0;
    };
    struct Entry
    {
        std::uint32_t name = 0;
        std::uint32_t data = 0;
    };
    struct Directory
    {
        std::uint32_t start = 0;
        std::vector<Entry> entries;
    };
    // Bytes of a directory on the path from the root: its header and its
    // entries up to the one followed. A subdirectory starting there would
    // loop back. (Only these: a lying entry count would otherwise make the
    // directory cover everything after it.)
    struct Span
    {
        std::uint32_t start = 0;
        std::uint64_t end = 0;
    };
    static Span Followed(const Directory &dir, const Entry &entry);
    // The directories every group question starts from.
    struct Tree
    {
        Directory root;
        Directory groups;
        std::size_t groupType = 0; // its entry in root
        bool hasIcons = false;     // whether the image directory was found and read
        Directory icons;
        std::size_t iconType = 0;
        // Image ids to their entries in icons; the first of a repeated id.
        std::unordered_map<std::uint16_t, std::size_t> iconById;
    };
    // The tree, read on the first call; null when the file has no readable
    // group directory.
    const Tree *ReadTree() const;
    struct Located
    {
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };

    // File offset of an RVA and how many bytes from there the file backs.
    bool MapRva(std::uint32_t rva, std::uint64_t &offset, std::uint64_t &available) const;
    // Reads the header and up to maxEntries entries of the directory at
    // offset (relative to the tree's root); total gets the header's count,
    // bounded by what fits.
    bool ReadDirectory(std::uint32_t offset, std::size_t maxEntries, Directory &dir,
                       std::size_t &total) const;
    // The subdirectory an entry points at, unless it is a leaf or loops back
    // into a directory on the path.
    std::optional<std::uint32_t> Subdirectory(const Entry &entry,
                                              const std::vector<Span> &path) const;
    std::optional<std::uint32_t> TypeDirectory(const Directory &root, std::uint16_t type) const;
    // The data of a name-level entry's first language.
    std::optional<Located> FirstLanguageData(const Entry &nameEntry,
                                             const std::vector<Span> &path) const;

    const ByteSource &Source;
    bool Opened = false;
    std::uint32_t ResourceRva = 0;
    std::uint32_t HeadersSize = 0;
    std::vector<Section> Sections;
    mutable bool TreeRead = false;
    mutable std::unique_ptr<Tree> TreeCache;
};

} // namespace platform

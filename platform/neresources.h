#pragma once

#include "icon.h"
#include "iconimage.h"
#include "wholeicon.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

class ByteSource;

// The group icons of a 16-bit NE executable, from its resource table.
class NeResources
{
public:
    explicit NeResources(const ByteSource &source) : Source(source) {}

    // Reads the resource table; false when this is not an NE file.
    bool Open();

    // Group icon resources, in stored order.
    int CountGroups() const { return static_cast<int>(Groups.size()); }
    // The icon of group index (0 or more), or of the group with id -index.
    Icon ExtractGroup(int index) const;
    // Every image of group index, as stored (wholeicon.h).
    WholeIconResult ReadWholeGroup(int index, WholeIcon &out) const;

private:
    struct Resource
    {
        std::uint16_t id = 0; // with the high bit set for numeric ids
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
        std::string name; // a group's name when it has no numeric id
    };
    using GroupVisitor = std::function<void(std::span<const std::uint8_t> group,
                                            const ImageLookup &lookup, const Resource &resource)>;
    const Resource *FindGroup(int index) const;
    // Hands group index's directory bytes and a lookup of its images to
    // visit; false when there is none or it cannot be read.
    bool VisitGroup(int index, const GroupVisitor &visit) const;

    const ByteSource &Source;
    std::vector<Resource> Groups;
    std::vector<Resource> Images;
    // Numeric image ids to their entries in Images; the first of a repeated id.
    std::unordered_map<std::uint16_t, std::size_t> ImageById;
};

} // namespace platform

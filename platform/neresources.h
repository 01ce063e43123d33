#pragma once

#include "icon.h"

#include <cstdint>
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

private:
    struct Resource
    {
        std::uint16_t id = 0; // with the high bit set for numeric ids
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
    };

    const ByteSource &Source;
    std::vector<Resource> Groups;
    std::vector<Resource> Images;
};

} // namespace platform

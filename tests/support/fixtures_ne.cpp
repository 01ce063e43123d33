// 16-bit Windows executables (NE) with icon resources.

#include "fixtures.h"
#include "fixtures_bytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace fixtures {

using namespace detail;

Bytes BuildNe(const NeRecipe &recipe)
{
    constexpr std::uint32_t kNeOffset = 0x80;
    constexpr std::uint32_t kNeHeaderSize = 0x40;
    constexpr std::uint32_t kIconType = 0x8003;
    constexpr std::uint32_t kGroupIconType = 0x800E;
    constexpr std::uint32_t kIntegerId = 0x8000;
    constexpr std::uint32_t kResourceFlags = 0x1C30; // moveable, pure, discardable
    Require(recipe.alignShift <= 15, "alignShift must be below 16");
    const std::size_t unit = std::size_t{1} << recipe.alignShift;

    const auto ids = AssignImageIds(recipe.groups);
    const auto images = CollectImages(recipe.groups, ids);

    // NE knows ASCII names only; anything else becomes '?'.
    std::vector<std::string> names;
    for (const IconGroup &group : recipe.groups) {
        std::string ascii;
        if (const auto *name = std::get_if<std::u16string>(&group.name)) {
            for (const char16_t c : *name) {
                ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
            }
            Require(!ascii.empty() && ascii.size() <= 255, "NE names have 1 to 255 characters");
        }
        names.push_back(std::move(ascii));
    }

    const std::size_t typeCount = (images.empty() ? 0u : 1u) + (recipe.groups.empty() ? 0u : 1u);
    const std::size_t namesStart =
        2 + 8 * typeCount + 12 * (images.size() + recipe.groups.size()) + 2;
    std::size_t resourceTableSize = namesStart + 1;
    for (const std::string &name : names) {
        resourceTableSize += name.empty() ? 0 : 1 + name.size();
    }

    // The tables follow the header in the usual order; there are no segments,
    // module references or entry points.
    const std::string moduleName = "FIXTURES";
    const std::string description = "Rurorodode test icons";
    const std::size_t resourceTable = kNeHeaderSize;
    const std::size_t residentNames = resourceTable + resourceTableSize;
    const std::size_t moduleReferences = residentNames + 1 + moduleName.size() + 2 + 1;
    const std::size_t importedNames = moduleReferences;
    const std::size_t entryTable = importedNames + 1;
    const std::size_t entryTableSize = 2;
    Require(entryTable + entryTableSize <= 0xFFFF, "NE tables too large");
    const std::size_t nonResidentNames = kNeOffset + entryTable + entryTableSize;
    const std::size_t nonResidentSize = 1 + description.size() + 2 + 1;

    // Resource data: images by id, then the groups, each aligned to the unit.
    std::vector<Bytes> groupData;
    for (std::size_t g = 0; g < recipe.groups.size(); ++g) {
        groupData.push_back(GroupDirectory(recipe.groups[g], ids[g]));
    }
    std::size_t nextData = AlignUp(nonResidentNames + nonResidentSize, unit);
    const auto putNameInfo = [&](Bytes &out, std::size_t size, std::uint32_t id) {
        const std::size_t offset = nextData >> recipe.alignShift;
        const std::size_t length = AlignUp(size, unit) >> recipe.alignShift;
        Require(offset <= 0xFFFF && length <= 0xFFFF,
                "resource does not fit the alignment; raise alignShift");
        Put16(out, static_cast<std::uint32_t>(offset));
        Put16(out, static_cast<std::uint32_t>(length));
        Put16(out, kResourceFlags);
        Put16(out, id);
        Put16(out, 0); // handle
        Put16(out, 0); // usage
        nextData += AlignUp(size, unit);
    };

    Bytes out = DosHeader(kNeOffset);
    Put8(out, 'N');
    Put8(out, 'E');
    Put8(out, 5);  // linker version
    Put8(out, 10); // linker revision
    Put16(out, static_cast<std::uint32_t>(entryTable));
    Put16(out, static_cast<std::uint32_t>(entryTableSize));
    Put32(out, 0);      // CRC
    Put16(out, 0x8000); // a library without automatic data
    Put16(out, 0);      // automatic data segment
    Put16(out, 0);      // heap
    Put16(out, 0);      // stack
    Put32(out, 0);      // CS:IP
    Put32(out, 0);      // SS:SP
    Put16(out, 0);      // segments
    Put16(out, 0);      // module references
    Put16(out, static_cast<std::uint32_t>(nonResidentSize));
    Put16(out, static_cast<std::uint32_t>(resourceTable)); // segment table, empty
    Put16(out, static_cast<std::uint32_t>(resourceTable));
    Put16(out, static_cast<std::uint32_t>(residentNames));
    Put16(out, static_cast<std::uint32_t>(moduleReferences));
    Put16(out, static_cast<std::uint32_t>(importedNames));
    Put32(out, static_cast<std::uint32_t>(nonResidentNames));
    Put16(out, 0);                 // movable entry points
    Put16(out, recipe.alignShift); // segment alignment
    Put16(out, 0);                 // resource segments
    Put8(out, 2);                  // Windows
    Put8(out, 0);                  // other flags
    Put16(out, 0);                 // fast-load area
    Put16(out, 0);
    Put16(out, 0);      // minimum code swap area
    Put16(out, 0x030A); // Windows 3.10
    Require(out.size() == kNeOffset + kNeHeaderSize, "NE header size is wrong");

    Put16(out, recipe.alignShift);
    if (!images.empty()) {
        Put16(out, kIconType);
        Put16(out, static_cast<std::uint32_t>(images.size()));
        Put32(out, 0); // reserved
        for (const auto &[id, image] : images) {
            Require(id < kIntegerId, "NE ids are below 0x8000");
            putNameInfo(out, image.data->size(), kIntegerId | id);
        }
    }
    std::size_t nextName = namesStart;
    if (!recipe.groups.empty()) {
        Put16(out, kGroupIconType);
        Put16(out, static_cast<std::uint32_t>(recipe.groups.size()));
        Put32(out, 0); // reserved
        for (std::size_t g = 0; g < recipe.groups.size(); ++g) {
            std::uint32_t id = 0;
            if (const auto *number = std::get_if<std::uint16_t>(&recipe.groups[g].name)) {
                Require(*number < kIntegerId, "NE ids are below 0x8000");
                id = kIntegerId | *number;
            } else {
                Require(nextName < kIntegerId, "NE resource table too large");
                id = static_cast<std::uint32_t>(nextName);
                nextName += 1 + names[g].size();
            }
            putNameInfo(out, groupData[g].size(), id);
        }
    }
    Put16(out, 0); // end of types
    for (const std::string &name : names) {
        if (!name.empty()) {
            Put8(out, static_cast<std::uint32_t>(name.size()));
            out.insert(out.end(), name.begin(), name.end());
        }
    }
    Put8(out, 0); // end of names
    Require(out.size() == kNeOffset + residentNames, "NE resource table size is wrong");

    Put8(out, static_cast<std::uint32_t>(moduleName.size()));
    out.insert(out.end(), moduleName.begin(), moduleName.end());
    Put16(out, 0); // ordinal
    Put8(out, 0);  // end of resident names
    Put8(out, 0);  // imported names: the empty first entry
    Put16(out, 0); // entry table: no bundles
    Put8(out, static_cast<std::uint32_t>(description.size()));
    out.insert(out.end(), description.begin(), description.end());
    Put16(out, 0); // ordinal
    Put8(out, 0);  // end of non-resident names

    PadTo(out, unit);
    for (const auto &[id, image] : images) {
        PutBytes(out, *image.data);
        PadTo(out, unit);
    }
    for (const Bytes &data : groupData) {
        PutBytes(out, data);
        PadTo(out, unit);
    }
    Require(out.size() == nextData, "NE resource layout is inconsistent");
    return out;
}

} // namespace fixtures

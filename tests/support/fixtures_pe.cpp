// 32-bit and 64-bit Windows executables (PE32, PE32+) with icon resources.

#include "fixtures.h"
#include "fixtures_bytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <numeric>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace fixtures {

using namespace detail;

namespace {

struct ResourceLeaf
{
    std::uint16_t language = 0;
    Bytes data;
};

struct ResourceEntry
{
    ResName name;
    std::vector<ResourceLeaf> leaves;
};

struct ResourceType
{
    std::uint16_t id = 0;
    std::vector<ResourceEntry> entries;
};

constexpr std::uint32_t kSubdirectoryFlag = 0x80000000;
constexpr std::uint32_t kNameIsStringFlag = 0x80000000;

std::size_t DirectorySize(std::size_t entries)
{
    return 16 + 8 * entries;
}

void PutDirectoryHeader(Bytes &out, std::size_t named, std::size_t ids)
{
    Put32(out, 0); // characteristics
    Put32(out, 0); // time stamp
    Put16(out, 0); // major version
    Put16(out, 0); // minor version
    Put16(out, static_cast<std::uint32_t>(named));
    Put16(out, static_cast<std::uint32_t>(ids));
}

// The resource section at the given RVA, laid out as linkers do: all
// directories (type, name, language level), then the data entries, then the
// name strings, then the data aligned to 8 bytes. Every part is written in
// the same order as the directories that point at it, so running offsets
// suffice.
Bytes BuildResourceSection(const std::vector<ResourceType> &types, std::uint32_t rva)
{
    std::size_t typeDirectories = 0;
    std::size_t languageDirectories = 0;
    std::size_t leafCount = 0;
    std::size_t stringBytes = 0;
    for (const ResourceType &type : types) {
        typeDirectories += DirectorySize(type.entries.size());
        for (const ResourceEntry &entry : type.entries) {
            languageDirectories += DirectorySize(entry.leaves.size());
            leafCount += entry.leaves.size();
            if (const auto *name = std::get_if<std::u16string>(&entry.name)) {
                stringBytes += 2 + 2 * name->size();
            }
        }
    }
    const std::size_t rootSize = DirectorySize(types.size());
    const std::size_t dataEntriesStart = rootSize + typeDirectories + languageDirectories;
    const std::size_t stringsStart = dataEntriesStart + 16 * leafCount;
    const std::size_t dataStart = AlignUp(stringsStart + stringBytes, 8);

    Bytes out;
    PutDirectoryHeader(out, 0, types.size());
    std::size_t nextTypeDirectory = rootSize;
    for (const ResourceType &type : types) {
        Put32(out, type.id);
        Put32(out, kSubdirectoryFlag | static_cast<std::uint32_t>(nextTypeDirectory));
        nextTypeDirectory += DirectorySize(type.entries.size());
    }

    std::size_t nextLanguageDirectory = rootSize + typeDirectories;
    std::size_t nextString = stringsStart;
    for (const ResourceType &type : types) {
        const auto named =
            std::count_if(type.entries.begin(), type.entries.end(), [](const ResourceEntry &e) {
                return std::holds_alternative<std::u16string>(e.name);
            });
        PutDirectoryHeader(out, static_cast<std::size_t>(named),
                           type.entries.size() - static_cast<std::size_t>(named));
        for (const ResourceEntry &entry : type.entries) {
            if (const auto *name = std::get_if<std::u16string>(&entry.name)) {
                Put32(out, kNameIsStringFlag | static_cast<std::uint32_t>(nextString));
                nextString += 2 + 2 * name->size();
            } else {
                Put32(out, std::get<std::uint16_t>(entry.name));
            }
            Put32(out, kSubdirectoryFlag | static_cast<std::uint32_t>(nextLanguageDirectory));
            nextLanguageDirectory += DirectorySize(entry.leaves.size());
        }
    }

    std::size_t nextDataEntry = dataEntriesStart;
    for (const ResourceType &type : types) {
        for (const ResourceEntry &entry : type.entries) {
            PutDirectoryHeader(out, 0, entry.leaves.size());
            for (const ResourceLeaf &leaf : entry.leaves) {
                Put32(out, leaf.language);
                Put32(out, static_cast<std::uint32_t>(nextDataEntry));
                nextDataEntry += 16;
            }
        }
    }

    std::size_t nextData = dataStart;
    for (const ResourceType &type : types) {
        for (const ResourceEntry &entry : type.entries) {
            for (const ResourceLeaf &leaf : entry.leaves) {
                Put32(out, rva + static_cast<std::uint32_t>(nextData));
                Put32(out, static_cast<std::uint32_t>(leaf.data.size()));
                Put32(out, 0); // code page
                Put32(out, 0); // reserved
                nextData = AlignUp(nextData + leaf.data.size(), 8);
            }
        }
    }

    for (const ResourceType &type : types) {
        for (const ResourceEntry &entry : type.entries) {
            if (const auto *name = std::get_if<std::u16string>(&entry.name)) {
                Put16(out, static_cast<std::uint32_t>(name->size()));
                for (const char16_t c : *name) {
                    Put16(out, c);
                }
            }
        }
    }

    PadTo(out, 8);
    for (const ResourceType &type : types) {
        for (const ResourceEntry &entry : type.entries) {
            for (const ResourceLeaf &leaf : entry.leaves) {
                PutBytes(out, leaf.data);
                PadTo(out, 8);
            }
        }
    }
    Require(out.size() == nextData, "resource section layout is inconsistent");
    return out;
}

// How a linker orders a directory: named entries first, sorted by name, then
// ids ascending.
bool LinkerOrder(const ResName &a, const ResName &b)
{
    if (a.index() != b.index()) {
        return std::holds_alternative<std::u16string>(a);
    }
    return a < b;
}

} // namespace

Bytes BuildPe(const PeRecipe &recipe)
{
    constexpr std::uint32_t kPeOffset = 0x80;
    constexpr std::uint32_t kFileAlignment = 0x200;
    constexpr std::uint32_t kSectionAlignment = 0x1000;
    Require(recipe.sectionName.size() <= 8, "section names have at most 8 bytes");

    const auto ids = AssignImageIds(recipe.groups);
    ResourceType icons{3, {}};
    for (const auto &[id, image] : CollectImages(recipe.groups, ids)) {
        // Localised files carry the images under each language of their group,
        // which tools that match languages expect.
        ResourceEntry entry{id, {}};
        for (const std::uint16_t language : image.group->languages) {
            entry.leaves.push_back({language, *image.data});
        }
        if (entry.leaves.empty()) {
            entry.leaves.push_back({0, *image.data});
        }
        icons.entries.push_back(std::move(entry));
    }
    std::vector<std::size_t> order(recipe.groups.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (!recipe.keepOrder) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return LinkerOrder(recipe.groups[a].name, recipe.groups[b].name);
        });
    }
    ResourceType groups{14, {}};
    for (const std::size_t g : order) {
        const IconGroup &group = recipe.groups[g];
        const Bytes directory = GroupDirectory(group, ids[g]);
        ResourceEntry entry{group.name, {}};
        for (const std::uint16_t language : group.languages) {
            entry.leaves.push_back({language, directory});
        }
        groups.entries.push_back(std::move(entry));
    }
    std::vector<ResourceType> types;
    for (ResourceType *type : {&icons, &groups}) {
        if (!type->entries.empty()) {
            types.push_back(std::move(*type));
        }
    }

    struct Section
    {
        std::string name;
        std::uint32_t characteristics = 0;
        const Bytes *data = nullptr; // null: zero filler
        std::uint64_t virtualSize = 0;
        std::uint64_t rva = 0;
        std::uint64_t rawOffset = 0;
        std::uint64_t rawSize = 0;
    };
    const bool withFiller = recipe.paddingBytes > 0;
    const std::size_t sectionCount = withFiller ? 3 : 2;
    const std::uint32_t optionalHeaderSize = recipe.pe32plus ? 240 : 224;
    const std::size_t headersSize =
        AlignUp(kPeOffset + 4 + 20 + optionalHeaderSize + 40 * sectionCount, kFileAlignment);

    std::vector<Section> sections;
    std::uint64_t nextRva = kSectionAlignment;
    std::uint64_t nextRaw = headersSize;
    const auto addSection = [&](std::string name, std::uint32_t characteristics, const Bytes *data,
                                std::uint64_t size) {
        Section section{std::move(name),
                        characteristics,
                        data,
                        size,
                        nextRva,
                        nextRaw,
                        AlignUp(size, kFileAlignment)};
        nextRva = AlignUp(nextRva + size, kSectionAlignment);
        nextRaw += section.rawSize;
        sections.push_back(std::move(section));
    };

    const Bytes code{0x31, 0xC0, 0xC3};                  // xor eax, eax; ret
    addSection(".text", 0x60000020, &code, code.size()); // code, execute, read
    if (withFiller) {
        addSection(".data", 0xC0000040, nullptr, recipe.paddingBytes); // data, read, write
    }
    Require(nextRva < 0xFFFFFFFF, "filler too large for a PE image");
    const Bytes resources = BuildResourceSection(types, static_cast<std::uint32_t>(nextRva));
    addSection(recipe.sectionName, 0x40000040, &resources, resources.size()); // data, read
    Require(nextRva <= 0xFFFFFFFF, "filler too large for a PE image");
    const Section &text = sections.front();
    const Section &rsrc = sections.back();
    const auto sizeOfImage = static_cast<std::uint32_t>(nextRva);
    std::uint64_t initializedData = 0;
    for (std::size_t i = 1; i < sections.size(); ++i) {
        initializedData += sections[i].rawSize;
    }

    Bytes out = DosHeader(kPeOffset);
    Put32(out, 0x00004550); // "PE\0\0"
    // COFF header
    Put16(out, recipe.pe32plus ? 0x8664 : 0x14C);
    Put16(out, static_cast<std::uint32_t>(sections.size()));
    Put32(out, 0); // time stamp: builds are reproducible
    Put32(out, 0); // symbol table
    Put32(out, 0); // symbols
    Put16(out, optionalHeaderSize);
    // Executable without relocations; 32-bit machine or large-address aware.
    Put16(out, recipe.pe32plus ? 0x0023 : 0x0103);

    // Optional header
    const std::size_t optionalStart = out.size();
    Put16(out, recipe.pe32plus ? 0x20B : 0x10B);
    Put8(out, 14); // linker version
    Put8(out, 0);
    Put32(out, static_cast<std::uint32_t>(text.rawSize));    // size of code
    Put32(out, static_cast<std::uint32_t>(initializedData)); // size of initialized data
    Put32(out, 0);                                           // size of uninitialized data
    Put32(out, static_cast<std::uint32_t>(text.rva));        // entry point
    Put32(out, static_cast<std::uint32_t>(text.rva));        // base of code
    if (recipe.pe32plus) {
        Put64(out, 0x140000000);
    } else {
        Put32(out, static_cast<std::uint32_t>(sections[1].rva)); // base of data
        Put32(out, 0x400000);
    }
    Put32(out, kSectionAlignment);
    Put32(out, kFileAlignment);
    Put16(out, 6); // operating system version
    Put16(out, 0);
    Put16(out, 0); // image version
    Put16(out, 0);
    Put16(out, 6); // subsystem version
    Put16(out, 0);
    Put32(out, 0); // Win32 version value
    Put32(out, sizeOfImage);
    Put32(out, static_cast<std::uint32_t>(headersSize));
    Put32(out, 0);      // checksum
    Put16(out, 2);      // Windows GUI
    Put16(out, 0x8100); // NX compatible, terminal server aware
    const std::uint64_t reserves[] = {0x100000, 0x1000, 0x100000, 0x1000}; // stack, heap
    for (const std::uint64_t value : reserves) {
        if (recipe.pe32plus) {
            Put64(out, value);
        } else {
            Put32(out, static_cast<std::uint32_t>(value));
        }
    }
    Put32(out, 0);  // loader flags
    Put32(out, 16); // data directories
    for (int i = 0; i < 16; ++i) {
        const bool isResourceTable = i == 2;
        Put32(out, isResourceTable ? static_cast<std::uint32_t>(rsrc.rva) : 0);
        Put32(out, isResourceTable ? static_cast<std::uint32_t>(rsrc.virtualSize) : 0);
    }
    Require(out.size() - optionalStart == optionalHeaderSize, "optional header size is wrong");

    for (const Section &section : sections) {
        std::string name = section.name;
        name.resize(8, '\0');
        out.insert(out.end(), name.begin(), name.end());
        Put32(out, static_cast<std::uint32_t>(section.virtualSize));
        Put32(out, static_cast<std::uint32_t>(section.rva));
        Put32(out, static_cast<std::uint32_t>(section.rawSize));
        Put32(out, static_cast<std::uint32_t>(section.rawOffset));
        Put32(out, 0); // relocations
        Put32(out, 0); // line numbers
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, section.characteristics);
    }
    Require(out.size() <= headersSize, "headers do not fit");

    out.resize(static_cast<std::size_t>(nextRaw), 0);
    for (const Section &section : sections) {
        if (section.data != nullptr) {
            std::copy(section.data->begin(), section.data->end(),
                      out.begin() + static_cast<std::ptrdiff_t>(section.rawOffset));
        }
    }
    return out;
}

Bytes SolidColourProgram(int groups, std::uint32_t step)
{
    PeRecipe recipe;
    for (int i = 0; i < groups; ++i) {
        const auto colour = static_cast<std::uint32_t>(step * static_cast<std::uint32_t>(i + 1));
        recipe.groups.push_back({static_cast<std::uint16_t>(i + 1),
                                 {0x0409},
                                 {MakeImage(SolidPicture(32, colour & 0xFFFFFFu), 32)},
                                 {}});
    }
    return BuildPe(recipe);
}

} // namespace fixtures

// What the 32-bit and 16-bit executables share: the DOS header and stub,
// and the icon groups with their image ids.

#include "fixtures.h"
#include "fixtures_bytes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fixtures {

using namespace detail;

Bytes detail::DosHeader(std::uint32_t newHeaderOffset)
{
    Bytes out;
    Put16(out, 0x5A4D);                        // "MZ"
    Put16(out, newHeaderOffset % 512);         // bytes in the last page
    Put16(out, (newHeaderOffset + 511) / 512); // pages
    Put16(out, 0);                             // relocations
    Put16(out, 4);                             // header paragraphs
    Put16(out, 0x10);                          // minimum extra paragraphs
    Put16(out, 0xFFFF);                        // maximum extra paragraphs
    Put16(out, 0);                             // ss
    Put16(out, 0xB8);                          // sp
    Put16(out, 0);                             // checksum
    Put16(out, 0);                             // ip
    Put16(out, 0);                             // cs
    Put16(out, 0x40); // relocation table offset: 0x40 marks a new-style executable
    Put16(out, 0);    // overlay
    out.resize(0x3C, 0);
    Put32(out, newHeaderOffset);

    // push cs; pop ds; mov dx, message; mov ah, 9; int 21h; mov ax, 4C01h; int 21h
    const Bytes stub{0x0E, 0x1F, 0xBA, 0x0E, 0x00, 0xB4, 0x09,
                     0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
    PutBytes(out, stub);
    const std::string message = "This program needs Windows.\r\n$";
    out.insert(out.end(), message.begin(), message.end());
    Require(out.size() <= newHeaderOffset, "DOS stub does not fit");
    out.resize(newHeaderOffset, 0);
    return out;
}

std::vector<std::vector<std::uint16_t>> detail::AssignImageIds(const std::vector<IconGroup> &groups)
{
    std::set<std::uint16_t> taken;
    for (const IconGroup &group : groups) {
        Require(group.imageIds.empty() || group.imageIds.size() == group.images.size(),
                "imageIds must hold one id per image");
        taken.insert(group.imageIds.begin(), group.imageIds.end());
    }
    std::vector<std::vector<std::uint16_t>> result;
    std::uint16_t next = 1;
    for (const IconGroup &group : groups) {
        if (!group.imageIds.empty()) {
            result.push_back(group.imageIds);
            continue;
        }
        std::vector<std::uint16_t> ids;
        for (std::size_t i = 0; i < group.images.size(); ++i) {
            while (taken.count(next) != 0) {
                ++next;
            }
            Require(next != 0, "too many images");
            ids.push_back(next++);
        }
        result.push_back(std::move(ids));
    }
    return result;
}

std::map<std::uint16_t, detail::StoredImage>
detail::CollectImages(const std::vector<IconGroup> &groups,
                      const std::vector<std::vector<std::uint16_t>> &ids)
{
    std::map<std::uint16_t, StoredImage> images;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const IconGroup &group = groups[g];
        for (std::size_t i = 0; i < group.images.size(); ++i) {
            if (!group.images[i].data.empty()) {
                images.emplace(ids[g][i], StoredImage{&group, &group.images[i].data});
            }
        }
    }
    return images;
}

Bytes detail::GroupDirectory(const IconGroup &group, const std::vector<std::uint16_t> &ids)
{
    Bytes out;
    PutIconDirectoryHeader(out, 1, group.images.size());
    for (std::size_t i = 0; i < group.images.size(); ++i) {
        const IconImage &image = group.images[i];
        PutIconEntryHead(out, image);
        Put16(out, ids[i]);
    }
    return out;
}

} // namespace fixtures

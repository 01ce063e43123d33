#pragma once

// Pieces the fixture builders share: little-endian writers and checks, and
// what the two executable formats have in common. Only the builders include
// this; tests use fixtures.h.

#include "fixtures.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <vector>

namespace fixtures::detail {

// Every structure in these formats is little-endian.
inline void Put8(Bytes &out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

inline void Put16(Bytes &out, std::uint32_t value)
{
    Put8(out, value);
    Put8(out, value >> 8);
}

inline void Put32(Bytes &out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

inline void Put64(Bytes &out, std::uint64_t value)
{
    Put32(out, static_cast<std::uint32_t>(value & 0xFFFFFFFF));
    Put32(out, static_cast<std::uint32_t>(value >> 32));
}

inline void PutBytes(Bytes &out, const Bytes &data)
{
    out.insert(out.end(), data.begin(), data.end());
}

inline void PutTag(Bytes &out, const char (&tag)[5])
{
    out.insert(out.end(), tag, tag + 4);
}

inline std::size_t AlignUp(std::size_t value, std::size_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

inline void PadTo(Bytes &out, std::size_t alignment)
{
    out.resize(AlignUp(out.size(), alignment), 0);
}

inline void Require(bool condition, const char *message)
{
    if (!condition) {
        throw std::invalid_argument(message);
    }
}

// Checks that the picture's buffers match its size; returns the pixel count.
std::size_t CheckedPixelCount(const Picture &picture);

// The 6-byte header of an icon directory (type 1 icons, 2 cursors) and the
// start of each entry, which files (then a 32-bit offset) and group
// resources (then a 16-bit image id) share.
void PutIconDirectoryHeader(Bytes &out, std::uint16_t type, std::size_t count);
void PutIconEntryHead(Bytes &out, const IconImage &image);

// An MZ header whose e_lfanew points at the new header, and a stub that
// prints a line and exits when started under DOS.
Bytes DosHeader(std::uint32_t newHeaderOffset);

// The image ids each group names: its own list, or ids handed out in order
// from 1, skipping every id that some group chose itself.
std::vector<std::vector<std::uint16_t>> AssignImageIds(const std::vector<IconGroup> &groups);

struct StoredImage
{
    const IconGroup *group = nullptr;
    const Bytes *data = nullptr;
};

// The icon images to store, by id, with the group that names them first. An
// image without data is named by its group but not stored; when groups share
// an id the first image wins.
std::map<std::uint16_t, StoredImage>
CollectImages(const std::vector<IconGroup> &groups,
              const std::vector<std::vector<std::uint16_t>> &ids);

// GRPICONDIR with 14-byte entries naming the images by id.
Bytes GroupDirectory(const IconGroup &group, const std::vector<std::uint16_t> &ids);

} // namespace fixtures::detail

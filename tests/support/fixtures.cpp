#include "fixtures.h"

#include <png.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <numeric>
#include <set>
#include <stdexcept>
#include <utility>

namespace fixtures {
namespace {

// Every structure in these formats is little-endian.
void Put8(Bytes &out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void Put16(Bytes &out, std::uint32_t value)
{
    Put8(out, value);
    Put8(out, value >> 8);
}

void Put32(Bytes &out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void Put64(Bytes &out, std::uint64_t value)
{
    Put32(out, static_cast<std::uint32_t>(value & 0xFFFFFFFF));
    Put32(out, static_cast<std::uint32_t>(value >> 32));
}

void PutBytes(Bytes &out, const Bytes &data)
{
    out.insert(out.end(), data.begin(), data.end());
}

void PutTag(Bytes &out, const char (&tag)[5])
{
    out.insert(out.end(), tag, tag + 4);
}

std::size_t AlignUp(std::size_t value, std::size_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

void PadTo(Bytes &out, std::size_t alignment)
{
    out.resize(AlignUp(out.size(), alignment), 0);
}

void Require(bool condition, const char *message)
{
    if (!condition) {
        throw std::invalid_argument(message);
    }
}

// A well-mixed hash, so that patterns have no symmetry that a flipped or
// shifted row could hide behind.
std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = x * 0x9E3779B1u ^ y * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Entry 0 is black (alpha 0 with alpha), the border colour; with one bit the
// other entry is white, as in a monochrome icon.
std::vector<std::uint32_t> MakePalette(int bits, std::uint32_t seed, bool withAlpha)
{
    const std::uint32_t count = 1u << bits;
    std::vector<std::uint32_t> palette(count, 0);
    for (std::uint32_t i = 1; i < count; ++i) {
        std::uint32_t rgb = 0xFFFFFF;
        if (count > 2) {
            // Red alone keeps the entries distinct and different from black.
            const std::uint32_t r = i * 255 / (count - 1);
            const std::uint32_t g = (i * 73 + seed * 41) & 0xFF;
            const std::uint32_t b = (i * 151 + seed * 17) & 0xFF;
            rgb = r << 16 | g << 8 | b;
        }
        std::uint32_t alpha = 0;
        if (withAlpha) {
            alpha = count == 2 ? 255 : 64 + 191 * (i - 1) / (count - 2);
        }
        palette[i] = alpha << 24 | rgb;
    }
    return palette;
}

std::size_t CheckedPixelCount(const Picture &picture)
{
    Require(picture.width > 0 && picture.height > 0, "picture has no pixels");
    const std::size_t count =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    Require(picture.argb.size() == count && picture.mask.size() == count,
            "picture buffers do not match its size");
    return count;
}

bool IsDibBitCount(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

std::size_t RowBytes(int width, int bitCount)
{
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32 * 4;
}

// The distinct colours of a picture, sorted (so black comes first and a
// black-and-white picture gets the monochrome table). A colour table has no
// alpha, so alpha is dropped.
std::vector<std::uint32_t> DistinctColours(const Picture &picture, int bitCount)
{
    std::vector<std::uint32_t> colours;
    colours.reserve(picture.argb.size());
    for (const std::uint32_t argb : picture.argb) {
        colours.push_back(argb & 0xFFFFFF);
    }
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    Require(colours.size() <= (std::size_t{1} << bitCount),
            "picture has more colours than the bit count can index");
    return colours;
}

void PutColourTable(Bytes &out, const std::vector<std::uint32_t> &colours, int bitCount)
{
    const std::size_t entries = std::size_t{1} << bitCount;
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint32_t rgb = i < colours.size() ? colours[i] : 0;
        Put8(out, rgb);       // blue
        Put8(out, rgb >> 8);  // green
        Put8(out, rgb >> 16); // red
        Put8(out, 0);
    }
}

void PutInfoHeader(Bytes &out, std::uint32_t width, std::uint32_t height, int bitCount,
                   std::size_t imageSize, std::uint32_t coloursUsed, std::uint32_t pixelsPerMetre)
{
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1); // planes
    Put16(out, static_cast<std::uint32_t>(bitCount));
    Put32(out, 0); // BI_RGB
    Put32(out, static_cast<std::uint32_t>(imageSize));
    Put32(out, pixelsPerMetre);
    Put32(out, pixelsPerMetre);
    Put32(out, coloursUsed);
    Put32(out, 0); // all colours important
}

// Colour rows bottom first, each padded to 32 bits; colours is the sorted
// table for 8 bits and fewer.
void PutColourRows(Bytes &out, const Picture &picture, int bitCount,
                   const std::vector<std::uint32_t> &colours)
{
    const std::size_t rowBytes = RowBytes(picture.width, bitCount);
    const auto width = static_cast<std::size_t>(picture.width);
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + rowBytes, 0);
        std::uint8_t *row = out.data() + start;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t argb = picture.argb[static_cast<std::size_t>(y) * width + x];
            const auto a = static_cast<std::uint8_t>(argb >> 24);
            const auto r = static_cast<std::uint8_t>(argb >> 16);
            const auto g = static_cast<std::uint8_t>(argb >> 8);
            const auto b = static_cast<std::uint8_t>(argb);
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const auto found =
                    std::lower_bound(colours.begin(), colours.end(), argb & 0xFFFFFF);
                const auto index = static_cast<unsigned>(found - colours.begin());
                const std::size_t bit = x * static_cast<std::size_t>(bitCount);
                const auto shift = static_cast<unsigned>(8 - bitCount - static_cast<int>(bit % 8));
                row[bit / 8] |= static_cast<std::uint8_t>(index << shift);
                break;
            }
            case 16: {
                // 5-5-5: the top five bits of red, green and blue.
                const std::uint32_t value =
                    (argb >> 19 & 0x1F) << 10 | (argb >> 11 & 0x1F) << 5 | (argb >> 3 & 0x1F);
                row[x * 2] = static_cast<std::uint8_t>(value & 0xFF);
                row[x * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
                break;
            }
            case 24:
                row[x * 3] = b;
                row[x * 3 + 1] = g;
                row[x * 3 + 2] = r;
                break;
            default:
                row[x * 4] = b;
                row[x * 4 + 1] = g;
                row[x * 4 + 2] = r;
                row[x * 4 + 3] = a;
                break;
            }
        }
    }
}

void PutMaskRows(Bytes &out, const Picture &picture)
{
    const std::size_t rowBytes = RowBytes(picture.width, 1);
    const auto width = static_cast<std::size_t>(picture.width);
    for (int y = picture.height - 1; y >= 0; --y) {
        const std::size_t start = out.size();
        out.resize(start + rowBytes, 0);
        for (std::size_t x = 0; x < width; ++x) {
            if (picture.mask[static_cast<std::size_t>(y) * width + x] != 0) {
                out[start + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            }
        }
    }
}

// An MZ header whose e_lfanew points at the new header, and a stub that
// prints a line and exits when started under DOS.
Bytes DosHeader(std::uint32_t newHeaderOffset)
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

// The image ids each group names: its own list, or ids handed out in order
// from 1, skipping every id that some group chose itself.
std::vector<std::vector<std::uint16_t>> AssignImageIds(const std::vector<IconGroup> &groups)
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

// GRPICONDIR with 14-byte entries naming the images by id.
Bytes GroupDirectory(const IconGroup &group, const std::vector<std::uint16_t> &ids)
{
    Bytes out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(group.images.size()));
    for (std::size_t i = 0; i < group.images.size(); ++i) {
        const IconImage &image = group.images[i];
        Put8(out, image.dirWidth);
        Put8(out, image.dirHeight);
        Put8(out, image.colourCount);
        Put8(out, 0);
        Put16(out, image.planes);
        Put16(out, image.bitCount);
        Put32(out, static_cast<std::uint32_t>(image.data.size()));
        Put16(out, ids[i]);
    }
    return out;
}

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

void PutChunk(Bytes &out, const char (&tag)[5], const Bytes &data)
{
    PutTag(out, tag);
    Put32(out, static_cast<std::uint32_t>(data.size()));
    PutBytes(out, data);
    PadTo(out, 2);
}

} // namespace

Picture DrawPicture(int width, int height, int seed, bool withAlpha, int paletteBits)
{
    Require(width > 0 && height > 0, "picture needs a positive size");
    Require(paletteBits >= 0 && paletteBits <= 8, "paletteBits must be 0 to 8");
    const auto s = static_cast<std::uint32_t>(seed);
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);

    Picture picture;
    picture.width = width;
    picture.height = height;
    // Everything starts as the border: black, alpha 0, transparent.
    picture.argb.assign(static_cast<std::size_t>(w) * h, 0);
    picture.mask.assign(static_cast<std::size_t>(w) * h, 1);

    const std::vector<std::uint32_t> palette =
        paletteBits > 0 ? MakePalette(paletteBits, s, withAlpha) : std::vector<std::uint32_t>{};
    // With alpha the inside keeps clear of the border's fully transparent
    // black unless black and white are all there is.
    const std::uint32_t firstInside = withAlpha && palette.size() > 2 ? 1 : 0;
    const std::uint32_t insideSpan = w + h > 6 ? w + h - 6 : 1;

    for (std::uint32_t y = 1; y + 1 < h; ++y) {
        for (std::uint32_t x = 1; x + 1 < w; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * w + x;
            picture.mask[at] = 0;
            if (!palette.empty()) {
                const auto choices = static_cast<std::uint32_t>(palette.size()) - firstInside;
                picture.argb[at] = palette[firstInside + Mix(x, y, s) % choices];
                continue;
            }
            // Gradients in red and green, tiles of blue.
            const std::uint32_t r = (x * 255 / (w - 1) + s * 53) & 0xFF;
            const std::uint32_t g = (y * 255 / (h - 1) + s * 29) & 0xFF;
            const std::uint32_t b = Mix(x / 4, y / 4, s) & 0xFF;
            // 64 at the top left of the inside up to 255 at its bottom right.
            const std::uint32_t a = withAlpha ? 64 + 191 * (x + y - 2) / insideSpan : 0;
            picture.argb[at] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return picture;
}

Bytes EncodeIconDib(const Picture &picture, int bitCount)
{
    CheckedPixelCount(picture);
    Require(IsDibBitCount(bitCount), "bit count must be 1, 4, 8, 16, 24 or 32");
    const bool indexed = bitCount <= 8;
    const std::vector<std::uint32_t> colours =
        indexed ? DistinctColours(picture, bitCount) : std::vector<std::uint32_t>{};
    const std::uint32_t tableEntries = indexed ? 1u << bitCount : 0;
    const auto width = static_cast<std::uint32_t>(picture.width);
    const auto height = static_cast<std::uint32_t>(picture.height);

    Bytes out;
    // The height counts the colour rows and the mask rows.
    PutInfoHeader(out, width, 2 * height, bitCount, RowBytes(picture.width, bitCount) * height,
                  tableEntries, 0);
    if (indexed) {
        PutColourTable(out, colours, bitCount);
    }
    PutColourRows(out, picture, bitCount, colours);
    PutMaskRows(out, picture);
    return out;
}

Bytes EncodePng(const Picture &picture)
{
    const std::size_t count = CheckedPixelCount(picture);
    const bool hasAlpha = std::any_of(picture.argb.begin(), picture.argb.end(),
                                      [](std::uint32_t argb) { return (argb >> 24) != 0; });
    std::vector<std::uint8_t> rgba;
    rgba.reserve(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t argb = picture.argb[i];
        rgba.push_back(static_cast<std::uint8_t>(argb >> 16));
        rgba.push_back(static_cast<std::uint8_t>(argb >> 8));
        rgba.push_back(static_cast<std::uint8_t>(argb));
        if (hasAlpha) {
            rgba.push_back(static_cast<std::uint8_t>(argb >> 24));
        } else {
            rgba.push_back(picture.mask[i] != 0 ? 0 : 255);
        }
    }

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGBA;
    // The first call only measures.
    png_alloc_size_t size = 0;
    if (png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr) == 0) {
        throw std::runtime_error(image.message);
    }
    Bytes out(size);
    if (png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr) == 0) {
        throw std::runtime_error(image.message);
    }
    out.resize(size);
    return out;
}

IconImage MakeImage(const Picture &picture, int bitCount, bool png)
{
    CheckedPixelCount(picture);
    IconImage image;
    // 256 and larger are stored as 0.
    image.dirWidth = static_cast<std::uint8_t>(picture.width < 256 ? picture.width : 0);
    image.dirHeight = static_cast<std::uint8_t>(picture.height < 256 ? picture.height : 0);
    image.planes = 1;
    if (png) {
        // The stream is always RGBA.
        image.bitCount = 32;
        image.data = EncodePng(picture);
        return image;
    }
    image.data = EncodeIconDib(picture, bitCount);
    // 256 colours do not fit the byte and are written as 0.
    image.colourCount = static_cast<std::uint8_t>(bitCount < 8 ? 1u << bitCount : 0);
    image.bitCount = static_cast<std::uint16_t>(bitCount);
    return image;
}

Bytes BuildIconFile(const std::vector<IconImage> &images, std::uint16_t type)
{
    Bytes out;
    Put16(out, 0);
    Put16(out, type);
    Put16(out, static_cast<std::uint32_t>(images.size()));
    std::size_t offset = 6 + 16 * images.size();
    for (const IconImage &image : images) {
        Put8(out, image.dirWidth);
        Put8(out, image.dirHeight);
        Put8(out, image.colourCount);
        Put8(out, 0);
        Put16(out, image.planes);
        Put16(out, image.bitCount);
        Put32(out, static_cast<std::uint32_t>(image.data.size()));
        Put32(out, static_cast<std::uint32_t>(offset));
        offset += image.data.size();
    }
    for (const IconImage &image : images) {
        PutBytes(out, image.data);
    }
    return out;
}

Bytes BuildAni(const std::vector<Bytes> &frames)
{
    const auto frameCount = static_cast<std::uint32_t>(frames.size());
    Bytes header;
    Put32(header, 36);         // cbSize
    Put32(header, frameCount); // frames
    Put32(header, frameCount); // steps: each frame once, in order
    Put32(header, 0);          // cx, cy, bit count and planes are unused
    Put32(header, 0);          // when the frames are icon files
    Put32(header, 0);
    Put32(header, 0);
    Put32(header, 10); // display rate in 1/60 s
    Put32(header, 1);  // AF_ICON

    Bytes list;
    PutTag(list, "fram");
    for (const Bytes &frame : frames) {
        PutChunk(list, "icon", frame);
    }

    Bytes body;
    PutTag(body, "ACON");
    PutChunk(body, "anih", header);
    PutChunk(body, "LIST", list);

    Bytes out;
    PutChunk(out, "RIFF", body);
    return out;
}

Bytes BuildBmp(const Picture &picture, int bitCount)
{
    CheckedPixelCount(picture);
    Require(IsDibBitCount(bitCount), "bit count must be 1, 4, 8, 16, 24 or 32");
    const bool indexed = bitCount <= 8;
    const std::vector<std::uint32_t> colours =
        indexed ? DistinctColours(picture, bitCount) : std::vector<std::uint32_t>{};
    const std::uint32_t tableEntries = indexed ? 1u << bitCount : 0;
    const std::size_t imageSize =
        RowBytes(picture.width, bitCount) * static_cast<std::size_t>(picture.height);
    const std::size_t pixelsOffset = 14 + 40 + 4 * std::size_t{tableEntries};

    Bytes out;
    Put8(out, 'B');
    Put8(out, 'M');
    Put32(out, static_cast<std::uint32_t>(pixelsOffset + imageSize));
    Put32(out, 0); // reserved
    Put32(out, static_cast<std::uint32_t>(pixelsOffset));
    // A positive height: bottom row first. 2835 pixels per metre is 72 dpi.
    PutInfoHeader(out, static_cast<std::uint32_t>(picture.width),
                  static_cast<std::uint32_t>(picture.height), bitCount, imageSize, tableEntries,
                  2835);
    if (indexed) {
        PutColourTable(out, colours, bitCount);
    }
    PutColourRows(out, picture, bitCount, colours);
    return out;
}

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

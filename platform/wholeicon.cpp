#include "wholeicon.h"

#include "bytesource.h"
#include "dib.h"
#include "iconcontainers.h"
#include "le.h"
#include "neresources.h"
#include "peresources.h"
#include "pngdecode.h"

#include <algorithm>
#include <array>
#include <exception>
#include <set>
#include <unordered_set>
#include <utility>

namespace platform {

namespace {

constexpr std::size_t kIconEntry = 16;
constexpr std::size_t kGroupEntry = 14;

// CRC-32 as PNG chunks use it (ISO 3309, reflected, polynomial 0xEDB88320).
class Crc32Table
{
public:
    constexpr Crc32Table()
    {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            Table[n] = c;
        }
    }
    std::uint32_t operator()(std::span<const std::uint8_t> bytes) const
    {
        std::uint32_t c = 0xFFFFFFFFu;
        for (const std::uint8_t b : bytes)
            c = Table[(c ^ b) & 0xFFu] ^ (c >> 8);
        return c ^ 0xFFFFFFFFu;
    }

private:
    std::array<std::uint32_t, 256> Table{};
};
constexpr Crc32Table kCrc32;

std::uint32_t Be32(std::span<const std::uint8_t> b, std::size_t at)
{
    return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) |
           (std::uint32_t{b[at + 2]} << 8) | std::uint32_t{b[at + 3]};
}

bool TypeIs(std::span<const std::uint8_t> b, std::size_t at, const char (&type)[5])
{
    return b[at] == type[0] && b[at + 1] == type[1] && b[at + 2] == type[2] && b[at + 3] == type[3];
}

// The chunks of a PNG stream, from the header to the end chunk, each whole
// and with the right checksum; at least one image data chunk.
bool PngChunksWhole(std::span<const std::uint8_t> bytes, std::size_t &end)
{
    std::size_t at = 8;
    bool first = true;
    bool data = false;
    // Every chunk takes at least 12 bytes, so this ends.
    while (bytes.size() - at >= 12) {
        const std::uint32_t length = Be32(bytes, at);
        if (length > bytes.size() - at - 12)
            return false; // cut short
        const std::span<const std::uint8_t> typed = bytes.subspan(at + 4, 4 + length);
        if (kCrc32(typed) != Be32(bytes, at + 8 + length))
            return false;
        if (first != TypeIs(bytes, at + 4, "IHDR"))
            return false;
        first = false;
        data = data || TypeIs(bytes, at + 4, "IDAT");
        if (TypeIs(bytes, at + 4, "IEND")) {
            end = at + 12 + length;
            return data;
        }
        at += 12 + length;
    }
    return false;
}

bool SideOk(std::int64_t side)
{
    return side >= 1 && side <= limits::kMaxIconSide;
}

// The directory fields of an image, from its group or file entry and its
// own header: the entry's values where they agree with the image, the
// image's own where they do not (a reader must not be told a size or depth
// the image lacks). Readers decode any PNG to 32 bits, whatever its own
// depth, and choose among images by the entry's bit count: a PNG's entry
// gets 32 unless it says 1 to 32 bits itself.
void SetDirectoryFields(StoredImage &image, LeView entry, std::size_t at, bool cursor)
{
    const std::uint8_t colours = entry.U8(at + 2);
    const std::uint16_t planes = entry.U16(at + 4);
    const std::uint16_t bits = entry.U16(at + 6);
    if (cursor) { // the hot spot, whatever the image says
        image.colourCount = colours;
        image.planes = planes;
        image.bitCount = bits;
        return;
    }
    const bool png = image.storage == ImageStorage::Png;
    const bool agrees = png ? bits != 0 && bits <= 32 : bits == image.bits;
    if (agrees) {
        image.colourCount = colours;
        image.planes = planes;
        image.bitCount = bits;
    } else {
        const int own = png ? 32 : image.bits;
        image.colourCount = own < 8 ? static_cast<std::uint8_t>(1u << own) : 0;
        image.planes = 1;
        image.bitCount = static_cast<std::uint16_t>(own);
    }
}

// Keeps track of what one icon has taken so far.
class Budget
{
public:
    bool Take(std::uint64_t bytes)
    {
        if (bytes > limits::kMaxWholeIconBytes - Used)
            return false;
        Used += bytes;
        return true;
    }

private:
    std::uint64_t Used = 0;
};

// Reads, checks and adds one image, cut to its own length; false (and
// nothing added) when it is unreadable, damaged or over a limit.
bool AddImage(const ByteSource &source, std::uint64_t offset, std::uint64_t size, LeView entry,
              std::size_t at, bool cursor, std::uint16_t id, Budget &budget, WholeIcon &out)
{
    if (!source.Contains(offset, 0))
        return false;
    // A size that runs past the end keeps what is there; the check below
    // decides whether that is a whole image.
    size = std::min(size, source.Size() - offset);
    if (size == 0 || size > limits::kMaxStoredImageBytes)
        return false;
    StoredImage image;
    if (!source.ReadBlock(offset, size, image.data, limits::kMaxStoredImageBytes) ||
        !InspectStoredImage(image.data, image) || !budget.Take(size))
        return false;
    image.data.resize(std::min(image.data.size(), image.length));
    image.id = id;
    SetDirectoryFields(image, entry, at, cursor);
    out.images.push_back(std::move(image));
    return true;
}

WholeIconResult Finish(WholeIcon &out)
{
    return out.images.empty() ? WholeIconResult::NoValidImage : WholeIconResult::Ok;
}

// Every image of an .ico or .cur file.
WholeIconResult ReadIconFile(const ByteSource &source, bool forceCursor, WholeIcon &out)
{
    std::array<std::uint8_t, 6> head{};
    if (!source.ReadAt(0, head))
        return WholeIconResult::NoIcon;
    const LeView hv(head);
    const std::uint16_t type = hv.U16(2);
    if (hv.U16(0) != 0 || (type != 1 && type != 2))
        return WholeIconResult::NoIcon;
    const bool cursor = type == 2;
    out.cursor = cursor || forceCursor;
    const std::uint64_t fits = (source.Size() - 6) / kIconEntry;
    const std::size_t declared = static_cast<std::size_t>(std::min<std::uint64_t>(hv.U16(4), fits));
    const std::size_t count = std::min(declared, limits::kMaxImagesPerIcon);
    out.skipped = hv.U16(4) - count;
    std::vector<std::uint8_t> dir;
    if (count == 0 || !source.ReadBlock(6, kIconEntry * count, dir, kIconEntry * 65535))
        return WholeIconResult::NoValidImage;
    const LeView v(dir);
    Budget budget;
    // An entry that points at an image already taken adds nothing; one that
    // failed there may have had the wrong size, so a later entry with
    // another size may still take the image.
    std::unordered_set<std::uint64_t> taken;
    std::set<std::pair<std::uint64_t, std::uint64_t>> failed;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kIconEntry * i;
        const std::uint64_t offset = v.U32(at + 12);
        const std::uint64_t size = v.U32(at + 8);
        if (!taken.contains(offset) && !failed.contains({offset, size})) {
            if (AddImage(source, offset, size, v, at, cursor, 0, budget, out)) {
                taken.insert(offset);
                continue;
            }
            failed.insert({offset, size});
        }
        ++out.skipped;
    }
    if (forceCursor && !cursor)
        for (StoredImage &image : out.images) {
            // An icon frame of an animated cursor: its hot spot is the corner.
            image.planes = 0;
            image.bitCount = 0;
        }
    return Finish(out);
}

WholeIconResult ReadAni(const ByteSource &source, WholeIcon &out)
{
    std::uint64_t at = 0, size = 0;
    if (!FindAniFirstFrame(source, at, size))
        return WholeIconResult::NoValidImage;
    const SubSource frame(source, at, size);
    const WholeIconResult result = ReadIconFile(frame, /*forceCursor=*/true, out);
    return result == WholeIconResult::NoIcon ? WholeIconResult::NoValidImage : result;
}

WholeIconResult ReadBitmap(const ByteSource &source, WholeIcon &out)
{
    StoredImage image;
    if (!BitmapAsIconImage(source, image.data) || !InspectStoredImage(image.data, image))
        return WholeIconResult::NoValidImage;
    image.colourCount = image.bits < 8 ? static_cast<std::uint8_t>(1u << image.bits) : 0;
    image.planes = 1;
    image.bitCount = static_cast<std::uint16_t>(image.bits);
    out.images.push_back(std::move(image));
    return WholeIconResult::Ok;
}

// The same sniffing, in the same order, as the count and the extraction.
WholeIconResult ReadUnguarded(const ByteSource &source, int index, WholeIcon &out)
{
    if (index == -1)
        return WholeIconResult::NoIcon;
    std::array<std::uint8_t, 2> magic{};
    if (!source.ReadAt(0, magic))
        return WholeIconResult::NoIcon;
    if (magic[0] == 'M' && magic[1] == 'Z') {
        if (PeResources pe(source); pe.Open())
            return pe.ReadWholeGroup(index, out);
        if (NeResources ne(source); ne.Open())
            return ne.ReadWholeGroup(index, out);
        return WholeIconResult::NoIcon;
    }
    const bool ani = IsAniFile(source);
    const bool bitmap = !ani && magic[0] == 'B' && magic[1] == 'M';
    if (bitmap && !IsBitmapFile(source))
        return WholeIconResult::NoIcon;
    const bool iconFile = !ani && !bitmap && IsIconFile(source);
    if (!ani && !bitmap && !iconFile)
        return WholeIconResult::NoIcon;
    if (index != 0)
        return WholeIconResult::NoIcon;
    if (ani)
        return ReadAni(source, out);
    if (bitmap)
        return ReadBitmap(source, out);
    return ReadIconFile(source, /*forceCursor=*/false, out);
}

} // namespace

void AppendUtf8(std::string &out, std::uint32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

const char *WholeIconResultText(WholeIconResult result)
{
    switch (result) {
    case WholeIconResult::Ok:
        return "read";
    case WholeIconResult::NoFile:
        return "the file cannot be read";
    case WholeIconResult::NoIcon:
        return "there is no icon at that index";
    case WholeIconResult::NoValidImage:
        return "the icon has no usable image";
    }
    return "unknown result";
}

bool InspectStoredImage(std::span<const std::uint8_t> bytes, StoredImage &image)
{
    int w = 0, h = 0, bits = 0;
    std::size_t end = bytes.size();
    if (ReadPngHeader(bytes, w, h, bits)) {
        if (!SideOk(w) || !SideOk(h) || !PngChunksWhole(bytes, end))
            return false;
        image.storage = ImageStorage::Png;
    } else {
        DibHeader header;
        if (!ParseDibHeader(bytes, header) || header.height < 0)
            return false;
        const std::int64_t rows = header.height / 2; // colour rows, then the mask
        if (!SideOk(header.width) || !SideOk(rows))
            return false;
        DibRowDecoder decoder;
        if (!decoder.Init(header, bytes))
            return false;
        const std::uint64_t colourBytes =
            DibStride(static_cast<std::uint64_t>(header.width), header.bitCount) *
            static_cast<std::uint64_t>(rows);
        const std::uint64_t at = header.PixelOffset();
        if (at > bytes.size() || colourBytes > bytes.size() - at)
            return false;
        const std::uint64_t mask = DibStride(static_cast<std::uint64_t>(header.width), 1) *
                                   static_cast<std::uint64_t>(rows);
        end = static_cast<std::size_t>(
            std::min<std::uint64_t>(bytes.size(), at + colourBytes + mask));
        w = header.width;
        h = static_cast<int>(rows);
        bits = header.bitCount;
        image.storage = ImageStorage::Bitmap;
    }
    image.width = w;
    image.height = h;
    image.bits = bits;
    image.length = end;
    return true;
}

WholeIconResult ReadGroupImages(const ByteSource &source, std::span<const std::uint8_t> group,
                                const ImageLookup &lookup, WholeIcon &out)
{
    const LeView v(group);
    if (!v.Has(0, 6) || v.U16(0) != 0 || v.U16(2) != 1)
        return WholeIconResult::NoValidImage;
    const std::size_t declared = std::min<std::size_t>(v.U16(4), (group.size() - 6) / kGroupEntry);
    const std::size_t count = std::min(declared, limits::kMaxImagesPerIcon);
    out.cursor = false;
    out.skipped = v.U16(4) - count;
    Budget budget;
    std::unordered_set<std::uint16_t> seen;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + kGroupEntry * i;
        const std::uint16_t id = v.U16(at + 12);
        // The same image named twice is stored once; an id stands for the
        // same bytes each time, so a repeat of one that failed fails too.
        const std::optional<ImageCandidate> where =
            seen.insert(id).second ? lookup(id) : std::nullopt;
        // The group's entry has the icon file's layout up to the size; the
        // id takes the place of the offset.
        if (!where || !AddImage(source, where->offset, where->size, v, at, false, id, budget, out))
            ++out.skipped;
    }
    return Finish(out);
}

std::size_t LargestImage(std::span<const StoredImage> images)
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < images.size(); ++i) {
        const StoredImage &c = images[i];
        const StoredImage &b = images[best];
        if (c.width > b.width || (c.width == b.width && c.bits > b.bits))
            best = i;
    }
    return best;
}

WholeIconResult ReadWholeIcon(const ByteSource &source, int index, WholeIcon &out)
{
    out = WholeIcon{};
    try {
        return ReadUnguarded(source, index, out);
    } catch (const std::exception &) {
        // Only running out of memory is left to throw; it is the file's doing.
        out = WholeIcon{};
        return WholeIconResult::NoValidImage;
    }
}

WholeIconResult ReadWholeIcon(const std::string &path, int index, WholeIcon &out)
{
    out = WholeIcon{};
    FileSource file;
    if (!file.Open(path))
        return WholeIconResult::NoFile;
    return ReadWholeIcon(file, index, out);
}

} // namespace platform

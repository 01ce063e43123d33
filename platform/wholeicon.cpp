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
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
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

// Why FileSource refused path, which it does not say: the same look again.
std::string WhyUnreadable(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return std::strerror(errno);
    struct stat st
    {
    };
    const bool known = ::fstat(fd, &st) == 0;
    const int error = errno;
    ::close(fd);
    if (!known)
        return std::strerror(error);
    if (S_ISDIR(st.st_mode))
        return std::strerror(EISDIR);
    if (!S_ISREG(st.st_mode))
        return "Not a regular file";
    return std::strerror(EIO); // it changed between the two looks
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

IconFileReader::IconFileReader() = default;
IconFileReader::~IconFileReader() = default;

void IconFileReader::Reset()
{
    Pe.reset();
    Ne.reset();
    Type = Kind::None;
    Source = nullptr;
    Error.clear();
}

bool IconFileReader::Open(const std::string &path)
{
    Reset();
    if (!File.Open(path)) {
        Error = WhyUnreadable(path);
        return false;
    }
    Source = &File;
    Type = Sniff();
    return true;
}

void IconFileReader::Open(const ByteSource &source)
{
    Reset();
    Source = &source;
    Type = Sniff();
}

// The same kinds, in the same order, for the count, the extraction and
// the whole icons.
IconFileReader::Kind IconFileReader::Sniff()
{
    try {
        std::array<std::uint8_t, 2> magic{};
        if (!Source->ReadAt(0, magic))
            return Kind::None;
        if (magic[0] == 'M' && magic[1] == 'Z') {
            // PE, NE, or neither: the readers decide.
            if (auto pe = std::make_unique<PeResources>(*Source); pe->Open()) {
                Pe = std::move(pe);
                return Kind::Pe;
            }
            if (auto ne = std::make_unique<NeResources>(*Source); ne->Open()) {
                Ne = std::move(ne);
                return Kind::Ne;
            }
            return Kind::None;
        }
        if (IsAniFile(*Source))
            return Kind::Ani;
        if (magic[0] == 'B' && magic[1] == 'M')
            return IsBitmapFile(*Source) ? Kind::Bitmap : Kind::None;
        return IsIconFile(*Source) ? Kind::IconFile : Kind::None;
    } catch (const std::exception &) {
        // Only running out of memory is left to throw; it is the file's doing.
        Pe.reset();
        Ne.reset();
        return Kind::None;
    }
}

int IconFileReader::Count() const
{
    try {
        switch (Type) {
        case Kind::Pe:
            return Pe->CountGroups();
        case Kind::Ne:
            return Ne->CountGroups();
        case Kind::IconFile:
        case Kind::Ani:
        case Kind::Bitmap:
            return 1;
        case Kind::None:
            break;
        }
    } catch (const std::exception &) {
        // Out of memory over a damaged directory: no icon to offer.
    }
    return 0;
}

Icon IconFileReader::ExtractUnguarded(int index) const
{
    if (index == -1)
        return {};
    switch (Type) {
    case Kind::Pe:
        return Pe->ExtractGroup(index);
    case Kind::Ne:
        return Ne->ExtractGroup(index);
    case Kind::IconFile:
        return index == 0 ? ExtractIconFile(*Source) : Icon{};
    case Kind::Ani:
        return index == 0 ? ExtractAniFile(*Source) : Icon{};
    case Kind::Bitmap:
        return index == 0 ? ExtractBitmapFile(*Source) : Icon{};
    case Kind::None:
        break;
    }
    return {};
}

Icon IconFileReader::Extract(int index) const
{
    try {
        return ExtractUnguarded(index);
    } catch (const std::exception &) {
        return {};
    }
}

WholeIconResult IconFileReader::ReadUnguarded(int index, WholeIcon &out) const
{
    if (index == -1)
        return WholeIconResult::NoIcon;
    switch (Type) {
    case Kind::Pe:
        return Pe->ReadWholeGroup(index, out);
    case Kind::Ne:
        return Ne->ReadWholeGroup(index, out);
    case Kind::IconFile:
        return index == 0 ? ReadIconFile(*Source, /*forceCursor=*/false, out)
                          : WholeIconResult::NoIcon;
    case Kind::Ani:
        return index == 0 ? ReadAni(*Source, out) : WholeIconResult::NoIcon;
    case Kind::Bitmap:
        return index == 0 ? ReadBitmap(*Source, out) : WholeIconResult::NoIcon;
    case Kind::None:
        break;
    }
    return WholeIconResult::NoIcon;
}

WholeIconResult IconFileReader::Read(int index, WholeIcon &out) const
{
    out = WholeIcon{};
    if (!Source)
        return WholeIconResult::NoFile;
    try {
        return ReadUnguarded(index, out);
    } catch (const std::exception &) {
        out = WholeIcon{};
        return WholeIconResult::NoValidImage;
    }
}

WholeIconResult ReadWholeIcon(const ByteSource &source, int index, WholeIcon &out)
{
    IconFileReader reader;
    reader.Open(source);
    return reader.Read(index, out);
}

WholeIconResult ReadWholeIcon(const std::string &path, int index, WholeIcon &out)
{
    IconFileReader reader;
    reader.Open(path);
    return reader.Read(index, out);
}

} // namespace platform

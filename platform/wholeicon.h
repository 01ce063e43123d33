#pragma once

// Every image the file stores for one icon, byte for byte: what a lossless
// save of the whole icon needs. The numbering of the icons is the one the
// count and the extraction use (extracticon.h).

#include "bytesource.h"
#include "icon.h"
#include "iconimage.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform {

class NeResources;
class PeResources;

namespace limits {
// Images read for one icon. Real icons carry a few dozen at most; entries
// past this are not looked at.
inline constexpr std::size_t kMaxImagesPerIcon = 256;
// Bytes of one stored image: a 1024 x 1024 image at 32 bits with its mask
// and the largest header and colour table fit.
inline constexpr std::uint64_t kMaxStoredImageBytes = 1024u * 1024u * 4u + 1024u * 128u + 4096u;
// Bytes of all images of one icon together; images past this are left out.
inline constexpr std::uint64_t kMaxWholeIconBytes = 24u << 20;
// Characters of a resource name kept.
inline constexpr std::size_t kMaxResourceNameChars = 256;
} // namespace limits

enum class ImageStorage : std::uint8_t
{
    Bitmap, // a DIB with its AND mask
    Png,
};

// One image of an icon as stored, with the directory entry an icon file
// gets for it.
struct StoredImage
{
    // What the image itself declares (its own header, not the directory).
    int width = 0;
    int height = 0;
    int bits = 0;
    ImageStorage storage = ImageStorage::Bitmap;
    // Directory fields: colour count, planes and bit count; for cursors the
    // last two are the hot spot's x and y.
    std::uint8_t colourCount = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    // Bytes the image itself takes (a PNG up to its end chunk, a DIB up to
    // the end of its mask); what a container stores after it (padding,
    // junk) is not part of it.
    std::size_t length = 0;
    // The image's resource id inside a program file, 0 elsewhere.
    std::uint16_t id = 0;
    // The image itself, length bytes.
    std::vector<std::uint8_t> data;
};

// A resource's name: a numeric id, or a string (UTF-8).
struct ResourceName
{
    bool isId = true;
    std::uint16_t id = 0;
    std::string text;
};

struct WholeIcon
{
    // Images carry hot spots: the source is a cursor (.cur, .ani).
    bool cursor = false;
    // Only icons inside program files have a resource name.
    bool hasName = false;
    ResourceName name;
    // In the order the group or the file lists them.
    std::vector<StoredImage> images;
    // Entries that were named but left out: missing, damaged, repeated or
    // past a limit.
    std::size_t skipped = 0;
};

enum class WholeIconResult
{
    Ok,
    NoFile,       // missing, unreadable or not a regular file
    NoIcon,       // no icon at that index
    NoValidImage, // the icon is there, but none of its images is usable
};

// A short English text for a result, for messages.
const char *WholeIconResultText(WholeIconResult result);

// Reads the icon at index (0 or more, or -id for a group by resource id)
// with every image it stores. A missing or damaged image is left out and
// the others kept. Never throws.
WholeIconResult ReadWholeIcon(const ByteSource &source, int index, WholeIcon &out);
WholeIconResult ReadWholeIcon(const std::string &path, int index, WholeIcon &out);

// The icons of one file, for asking about many of them: the file is opened
// and its kind found once, and a program file's group and image
// directories are read once and kept, so that each icon then costs only its
// own group and images. CountIcons, ExtractIcon and ReadWholeIcon are this
// reader asked once. Never throws.
class IconFileReader
{
public:
    IconFileReader();
    ~IconFileReader();
    IconFileReader(const IconFileReader &) = delete;
    IconFileReader &operator=(const IconFileReader &) = delete;

    // Opens the file at path; false when it cannot be read (missing, no
    // rights, a folder or another non-regular file), with the system's
    // reason in OpenError(). The reader then holds no icon.
    bool Open(const std::string &path);
    // Reads source instead, which must outlive the reader's use of it.
    void Open(const ByteSource &source);
    const std::string &OpenError() const { return Error; }

    // The number of icons, as CountIcons answers.
    int Count() const;
    // The icon at index, as ExtractIcon gives it.
    Icon Extract(int index) const;
    // Every image of the icon at index, as ReadWholeIcon gives them.
    WholeIconResult Read(int index, WholeIcon &out) const;

private:
    enum class Kind
    {
        None,
        Pe,
        Ne,
        IconFile,
        Ani,
        Bitmap
    };
    void Reset();
    Kind Sniff();
    WholeIconResult ReadUnguarded(int index, WholeIcon &out) const;
    Icon ExtractUnguarded(int index) const;

    FileSource File;
    const ByteSource *Source = nullptr;
    Kind Type = Kind::None;
    std::unique_ptr<PeResources> Pe;
    std::unique_ptr<NeResources> Ne;
    std::string Error;
};

// Checks one stored image and reads what it declares: a PNG stream whose
// chunks are whole (checksums included) up to its end chunk, or a DIB whose
// header, colour table and colour rows are inside bytes. Sides must be
// 1 to limits::kMaxIconSide.
bool InspectStoredImage(std::span<const std::uint8_t> bytes, StoredImage &image);

// The images a group directory names, found through lookup and read from
// source, each cut to its own length (containers may store more: NE sizes
// are in alignment units). Entries repeating an id already taken are left
// out.
WholeIconResult ReadGroupImages(const ByteSource &source, std::span<const std::uint8_t> group,
                                const ImageLookup &lookup, WholeIcon &out);

// Appends code point c to out as UTF-8.
void AppendUtf8(std::string &out, std::uint32_t c);

// The image a single picture stands for: the widest, then the one with most
// bits, then the first. images must not be empty.
std::size_t LargestImage(std::span<const StoredImage> images);

} // namespace platform

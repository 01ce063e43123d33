#pragma once

#include "icon.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace platform {

class ByteSource;

// One image an icon directory offers: its size and depth as the directory
// states them (0 for width or height means 256) and where its bytes are.
struct ImageCandidate
{
    int width = 0;
    int height = 0;
    int bits = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// The platform's distance of an image from 32 x 32 at 32 bits; lower is better.
int ImageScore(int width, int height, int bits);

// Index of the best candidate: lowest score, then more bits, then earliest.
// The candidates' bit counts must already be the true ones.
std::size_t ChooseImage(std::span<const ImageCandidate> candidates);

// Decodes one stored icon image (a DIB with its mask, or a PNG stream) at
// its own size. Null when it is malformed.
Icon DecodeIconImage(std::span<const std::uint8_t> bytes);

// Brings a decoded image to the extraction size.
Icon ToExtractionSize(Icon icon);

// Picks the image to extract from a directory's candidates and decodes it
// at the extraction size. Each candidate's own header corrects the bit
// count the directory claims. Images whose bytes cannot be read or decoded
// are passed over for the next best, so one damaged image does not hide
// the others. Null when none can be decoded.
Icon ExtractBestImage(const ByteSource &source, std::vector<ImageCandidate> candidates);

// A group icon directory (the same layout in PE and NE resources).
struct GroupEntry
{
    int width = 0;
    int height = 0;
    int bits = 0;
    std::uint16_t id = 0;
};

// Parses the entries of a group; the count is bounded by the bytes given.
// False when the header is wrong or no entry fits.
bool ParseGroup(std::span<const std::uint8_t> bytes, std::vector<GroupEntry> &entries);

// Where an image of a group lives, looked up by its resource id.
using ImageLookup = std::function<std::optional<ImageCandidate>(std::uint16_t id)>;

// Extracts the icon of a group: every image the group names must exist.
Icon ExtractGroup(const ByteSource &source, std::span<const std::uint8_t> group,
                  const ImageLookup &lookup);

} // namespace platform

#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// A picture reduced to a colour table: table colours are 0x00RRGGBB, one
// index per pixel.
struct IndexedPicture
{
    std::vector<std::uint32_t> table; // exactly the requested number of entries
    std::vector<std::uint8_t> indices;
};

// Reduces pixels (alpha ignored) to at most `entries` colours (2, 16 or 256).
// Hidden pixels (hidden[i] != 0; hidden may be empty) are not looked at when
// choosing colours: they get index 0, black, when that costs nothing, or the
// entry nearest black otherwise.
// - With no more distinct visible colours than entries, every visible pixel
//   keeps its exact colour.
// - Otherwise the table is chosen from the visible pixels by median cut and
//   refined by k-means, each pixel taking the nearest entry; should the
//   platform's fixed table come closer for some picture, that table is used.
IndexedPicture ReduceColours(std::span<const std::uint32_t> pixels,
                             std::span<const std::uint8_t> hidden, unsigned entries);

// Squared error of mapping each visible pixel to its table entry, summed
// over the red, green and blue channels.
std::uint64_t SquaredError(std::span<const std::uint32_t> pixels,
                           std::span<const std::uint8_t> hidden, const IndexedPicture &picture);

} // namespace platform

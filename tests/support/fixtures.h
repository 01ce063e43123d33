#pragma once

// Builders for the test files: icon containers drawn and assembled in code,
// so that no fixture comes from anybody else's program. A request that cannot
// be built (a bit count the format lacks, too many colours for a palette,
// buffers that do not match the picture's size) throws std::invalid_argument.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace fixtures {

using Bytes = std::vector<std::uint8_t>;

// A picture drawn in code. argb is 0xAARRGGBB, top row first; mask holds one
// byte per pixel, top row first, 1 = transparent.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    std::vector<std::uint8_t> mask;
};

// A side x side picture of one opaque colour (rgb is 0xRRGGBB), mask clear.
Picture SolidPicture(int side, std::uint32_t rgb);

// A deterministic test picture: a pattern that depends on seed, with a
// transparent border one pixel wide in the mask. With withAlpha the alpha
// byte varies across the picture (0 on the transparent border), otherwise
// every alpha byte is 0. Colours are chosen so that, for bitCount <= 8,
// EncodeDib can represent them exactly: the picture then uses at most
// 2^bitCount distinct colours when paletteBits is set to that count
// (0 = free colours). Border pixels are 0 (black, alpha 0). A palette's entry
// 0 is that black and every entry has its own alpha, so the 2^bitCount limit
// holds for whole argb values; with 1 bit the two are black and white (alpha
// 0 and 255 with withAlpha), as in a monochrome icon.
Picture DrawPicture(int width, int height, int seed, bool withAlpha, int paletteBits = 0);

// A DIB as stored inside icon files and icon resources: 40-byte header with
// the height doubled (colour rows + mask rows), colour table for <= 8 bits
// (exactly the distinct colours of the picture, padded to 2^bitCount),
// colour rows bottom first, then the 1-bit AND mask. bitCount is 1, 4, 8,
// 16 (5-5-5), 24 or 32 (alpha kept). For <= 8 bits the picture must have few
// enough colours (use paletteBits in DrawPicture).
Bytes EncodeIconDib(const Picture &picture, int bitCount);

// An RGBA PNG stream of the picture (alpha taken from argb when any alpha is
// non-zero, otherwise 255 where the mask is 0 and 0 where it is 1), at 8 or
// 16 bits a channel (16: each value widened, taken as linear light).
Bytes EncodePng(const Picture &picture, int channelBits = 8);

// One image of an .ico/.cur or of a group: the directory fields and the image
// bytes. width/height 0 in the directory mean 256.
struct IconImage
{
    std::uint8_t dirWidth = 0;
    std::uint8_t dirHeight = 0;
    std::uint8_t colourCount = 0;
    std::uint16_t planes = 1;   // hotspot x for cursors
    std::uint16_t bitCount = 0; // hotspot y for cursors
    Bytes data;
};

// Makes an IconImage from a picture: DIB at bitCount, or PNG when png is set;
// directory fields filled as a careful writer would (a PNG is RGBA, so its
// bit count is 32 whatever bitCount says).
IconImage MakeImage(const Picture &picture, int bitCount, bool png = false);

// .ico (type 1) or .cur (type 2) file: 6-byte header, 16-byte entries, images
// in order after the directory.
Bytes BuildIconFile(const std::vector<IconImage> &images, std::uint16_t type = 1);

// .ani: RIFF 'ACON' with an 'anih' chunk and a LIST 'fram' holding one 'icon'
// chunk per frame (each frame a complete .ico/.cur file), padded to even sizes.
Bytes BuildAni(const std::vector<Bytes> &frames);

// .bmp: 14-byte file header, 40-byte info header, uncompressed at bitCount
// 1, 4, 8, 16, 24 or 32, bottom row first (no mask).
Bytes BuildBmp(const Picture &picture, int bitCount);

// A resource name: a numeric id or a string.
using ResName = std::variant<std::uint16_t, std::u16string>;

// One group icon resource: its name, the languages it is stored under (the
// same group directory under each, in the given order) and its images. Image
// ids are assigned by the builder unless imageIds is given (then one id per
// image; an id that no image carries makes a group naming a missing image).
// Assigned ids count from 1 in the given group order, skipping every id some
// imageIds holds. An image with empty data is named by its group but not
// stored, which is how a missing image is made. Images are stored under every
// language of the first group naming them; when two groups give an id, the
// first one's image is stored.
struct IconGroup
{
    ResName name;
    std::vector<std::uint16_t> languages{0x0409};
    std::vector<IconImage> images;
    std::vector<std::uint16_t> imageIds;
};

struct PeRecipe
{
    bool pe32plus = false;
    std::vector<IconGroup> groups; // stored under type 14 in this order
                                   // (the builder sorts them as a linker
                                   // would: named first by name, then ids
                                   // ascending) unless keepOrder is set
    bool keepOrder = false;
    std::string sectionName = ".rsrc";
    std::uint32_t paddingBytes = 0; // extra bytes of filler in a .data
                                    // section before .rsrc (large files)
};

// A PE32 or PE32+ image with a DOS stub, one code section, optional filler,
// and a resource section with types 3 (icon) and 14 (group icon).
Bytes BuildPe(const PeRecipe &recipe);

// A PE32 program with groups icon groups, ids 1, 2, ..., each one 32 x 32
// image at 32 bits in a single colour: step for the first, step * 2 for the
// second, and so on, so that a preview tells them apart.
Bytes SolidColourProgram(int groups, std::uint32_t step);

struct NeRecipe
{
    std::vector<IconGroup> groups; // stored under type 0x800E in this order
    std::uint16_t alignShift = 4;
};

// A 16-bit NE file: DOS header with e_lfanew, NE header, resource table with
// types 0x8003 (icon) and 0x800E (group icon), resource data aligned to
// 1 << alignShift.
Bytes BuildNe(const NeRecipe &recipe);

} // namespace fixtures
